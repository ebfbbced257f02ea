#!/usr/bin/env bash
# What a person sees in the editor: the start screen, a line sketched along a bone that
# follows the bone when the doll is posed, "Edit Skeleton" hiding lines and thickening
# bones, and the icon menu on its blue tint.
source "$(dirname "$0")/lib.sh"
e2e_start "$1" 800x480
e2e_click 500 300 0.1  # hurries the splash
e2e_wait_for_editor start || e2e_finish

# Start: the mode panel with "Draw and Pose" chosen, eight thumbnail frames, the default
# skeleton and the heart
e2e_move 500 450 0.3
e2e_shot start
e2e_expect_eq "Play not chosen" "$(e2e_pixel start 14 14)" "255,255,255"
frames=0
for x in 645 745; do
    for y in 10 110 210 310; do
        n=$(($(e2e_count start $((x - 40)) $((y - 2)) $((x + 40)) $((y + 3)) 191,191,191) +
            $(e2e_count start $((x - 40)) $((y - 2)) $((x + 40)) $((y + 3)) 255,255,0)))
        [ "$n" -ge 60 ] && frames=$((frames + 1))
    done
done
e2e_expect_eq "eight thumbnail frames" "$frames" 8
e2e_expect_ge "joint circles around the right hand" "$(e2e_count start 402 264 439 301 128,128,128)" 40
e2e_expect_ge "bones of the skeleton" "$(e2e_count start 300 100 340 240 191,191,191)" 50
heart=$((2500 - $(e2e_count start 11 421 60 470 255,255,255)))
e2e_expect_ge "the heart" "$heart" 40

# A line sketched beside the right forearm is drawn in gray along it
e2e_drag 400 200 400 262 12
e2e_move 500 450 0.3
e2e_shot line
e2e_expect_ge "line drawn along the forearm" "$(e2e_count line 394 198 407 262 128,128,128)" 30

# "Edit Skeleton": no lines, thick gray bones
e2e_click 40 100 0.2
e2e_move 500 450 0.3
e2e_shot skeleton
e2e_expect_eq "lines hidden" "$(e2e_count skeleton 394 198 407 262 128,128,128)" 0
e2e_expect_eq "left forearm drawn 2 pixels wide" "$(e2e_count skeleton 210 232 231 233 128,128,128)" 2
e2e_click 40 60 0.2

# Posing: the right hand dragged up and out; the line follows its bone
e2e_drag 420 282 520 190 12
e2e_move 500 450 0.8
e2e_shot posed
left=$(e2e_count posed 394 198 407 262 128,128,128)
[ "$left" -lt 10 ] && echo "ok: line gone from its old place" ||
    e2e_fail "line still at its old place ($left gray pixels)"
e2e_expect_ge "line drawn where the forearm went" "$(e2e_count posed 430 150 560 240 128,128,128)" 30

# The icon menu: the icon dragged up so the whole menu fits, then clicked in place
e2e_drag 35 445 185 45 10
e2e_click 185 45 0.4
e2e_move 700 460 0.3
e2e_shot icon-menu
tint=$(e2e_pixel icon-menu 560 450)
case "$tint" in 216,216,255 | 217,217,255) echo "ok: blue tint" ;; *) e2e_fail "tint is $tint" ;; esac
cells=0
for i in $(seq 0 21); do
    col=$(((i + 1) % 4)) row=$(((i + 1) / 4))
    left=$((160 + 60 * col)) top=$((20 + 60 * row))
    face=$(e2e_count icon-menu $((left + 2)) $((top + 2)) $((left + 48)) $((top + 48)) 255,255,255)
    [ "$face" -ge 1000 ] && cells=$((cells + 1))
done
e2e_expect_eq "22 white menu cells" "$cells" 22

e2e_alive || e2e_fail "program died"
e2e_finish
