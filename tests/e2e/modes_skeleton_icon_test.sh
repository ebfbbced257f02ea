#!/usr/bin/env bash
# What each author mode shows; the skeleton edited by hand (a joint added, linked to
# another and deleted with backspace); the emotion icon's menu with the skull chosen; and
# the icon dragged across the window.
source "$(dirname "$0")/lib.sh"
e2e_start "$1" 800x480
e2e_click 500 300 0.1 # ends the title sequence
e2e_wait_for_editor editor || e2e_finish

# One line beside the right forearm
e2e_drag 400 200 400 262 12

# Every mode, the pointer resting bottom right. Boxes: the line, the left hand's circle,
# a row across the left forearm, and the top edge of the icon's frame.
line_box="394 198 407 262"
hand_box="202 264 239 301"
forearm_row="210 232 231 233"
frame_box="5 418 65 423"
gray=128,128,128 light=191,191,191
mode=0
for name in Play Draw Draw-and-Pose Pose Edit-Skeleton; do
    e2e_click 40 $((20 + 20 * mode)) 0.2
    e2e_move 560 460 0.4
    shot="mode-$mode-$name"
    e2e_shot "$shot"
    e2e_expect_eq "$name chosen" "$(e2e_pixel "$shot" 14 $((14 + 20 * mode)))" "$(e2e_pixel editor 14 54)"
    line=$(e2e_count "$shot" $line_box $gray)
    joint=$(e2e_count "$shot" $hand_box $gray)
    thinJoint=$(e2e_count "$shot" $hand_box $light)
    thinBone=$(e2e_count "$shot" $forearm_row $light)
    thickBone=$(e2e_count "$shot" $forearm_row $gray)
    frame=$(e2e_count "$shot" $frame_box $light)
    case $name in
    Play)
        e2e_expect_ge "Play shows the line" "$line" 30
        e2e_expect_eq "Play hides joints and bones" "$joint $thinJoint $thinBone $thickBone" "0 0 0 0"
        e2e_expect_eq "Play hides the icon frame" "$frame" 0
        ;;
    Draw)
        e2e_expect_ge "Draw shows the line" "$line" 30
        e2e_expect_eq "Draw's joints are not emphasised" "$joint" 0
        e2e_expect_ge "Draw shows the joints light" "$thinJoint" 40
        e2e_expect_eq "Draw's bones are thin" "$thinBone $thickBone" "1 0"
        e2e_expect_ge "Draw frames the icon" "$frame" 30
        ;;
    Draw-and-Pose | Pose)
        e2e_expect_ge "$name shows the line" "$line" 30
        e2e_expect_ge "$name emphasises the joints" "$joint" 40
        e2e_expect_eq "$name's bones are thin" "$thinBone $thickBone" "1 0"
        e2e_expect_ge "$name frames the icon" "$frame" 30
        ;;
    Edit-Skeleton)
        e2e_expect_eq "Edit Skeleton hides the line" "$line" 0
        e2e_expect_ge "Edit Skeleton emphasises the joints" "$joint" 40
        e2e_expect_eq "Edit Skeleton's bones are thick" "$thinBone $thickBone" "0 2"
        e2e_expect_ge "Edit Skeleton frames the icon" "$frame" 30
        ;;
    esac
    mode=$((mode + 1))
done

# Still in "Edit Skeleton": a click on empty space adds a joint
new_box="502 82 539 119"
link_box="462 132 480 152" # halfway between the new joint and the right elbow
e2e_expect_eq "nothing at (520, 100) yet" "$(e2e_not_white mode-4-Edit-Skeleton $new_box)" 0
e2e_click 520 100 0.2
e2e_move 560 460 0.3
e2e_shot joint-added
e2e_expect_ge "a new joint at (520, 100)" "$(e2e_count joint-added $new_box $gray)" 40
e2e_expect_eq "not linked yet" "$(e2e_count joint-added $link_box $gray)" 0

# Dragged onto the right elbow and released there, it is linked to it and stays put
e2e_drag 520 100 420 182 10
e2e_move 560 460 0.3
e2e_shot joint-linked
e2e_expect_ge "the new joint stays" "$(e2e_count joint-linked $new_box $gray)" 40
e2e_expect_ge "a thick bone to the right elbow" "$(e2e_count joint-linked $link_box $gray)" 10

# Backspace with the pointer on it deletes the joint and its bone
e2e_move 520 100 0.3
e2e_key BackSpace
e2e_move 560 460 0.3
e2e_shot joint-deleted
e2e_expect_eq "the joint is gone" "$(e2e_not_white joint-deleted $new_box)" 0
e2e_expect_eq "its bone is gone" "$(e2e_not_white joint-deleted $link_box)" 0
e2e_expect_ge "the right elbow stays" "$(e2e_count joint-deleted 402 164 439 201 $gray)" 40
e2e_click 40 60 0.2 # "Draw and Pose"

# The icon: dragged up so its whole menu fits, then clicked to open the menu
heart=$(e2e_count editor 11 421 60 470 0,0,0)
e2e_drag 35 445 185 45 10
e2e_move 560 460 0.3
e2e_shot icon-moved
e2e_expect_ge "the line is back in Draw and Pose" "$(e2e_count icon-moved $line_box $gray)" 30
e2e_expect_eq "the corner is empty" "$(e2e_not_white icon-moved 5 415 66 476)" 0
e2e_expect_near "the heart moved up" "$(e2e_count icon-moved 161 21 210 70 0,0,0)" "$heart" 10
e2e_click 185 45 0.4
e2e_move 560 460 0.3
e2e_shot icon-menu
case "$(e2e_pixel icon-menu 560 450)" in
216,216,255 | 217,217,255) echo "ok: blue tint" ;;
*) e2e_fail "tint is $(e2e_pixel icon-menu 560 450)" ;;
esac
# The skull is the eighth icon: third row, first column of the menu. Chosen, it shows in
# the icon's place, drawn on white rather than on the tint.
skull=$(e2e_count icon-menu 161 141 210 190 0,0,0)
e2e_expect_ge "the skull's cell" "$skull" 300
e2e_click 185 165 0.2
e2e_move 560 460 1.0
e2e_shot skull
e2e_expect_eq "the menu closed" "$(e2e_pixel skull 560 450)" "255,255,255"
e2e_expect_near "the icon shows the skull" "$(e2e_count skull 161 21 210 70 0,0,0)" "$skull" 20
at=$(e2e_centroid skull 150 10 220 80 0,0,0)
e2e_near "$at" "$(e2e_centroid icon-menu 150 130 220 200 0,0,0 | awk '{print $1, $2 - 120}')" 3 &&
    echo "ok: the skull drawn where the heart was ($at)" || e2e_fail "skull drawn at $at"

# Dragged across the window, the skull goes where it is dropped
e2e_drag 185 45 505 405 12
e2e_move 560 300 0.3
e2e_shot icon-dragged
e2e_expect_eq "nothing left at the old place" "$(e2e_not_white icon-dragged 155 15 216 76)" 0
e2e_expect_near "the skull at its new place" "$(e2e_count icon-dragged 481 381 530 430 0,0,0)" \
    "$(e2e_count skull 161 21 210 70 0,0,0)" 10
want=$(echo "$at" | awk '{print $1 + 320, $2 + 360}')
got=$(e2e_centroid icon-dragged 440 340 580 470 0,0,0)
e2e_near "$got" "$want" 3 && echo "ok: moved by the drag ($got)" ||
    e2e_fail "the skull is at $got, not $want"

e2e_alive || e2e_fail "program died"
e2e_finish
