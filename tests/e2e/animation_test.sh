#!/usr/bin/env bash
# Animating with the real program: two lines drawn and two poses recorded, the strip
# arranged (a step removed with Delete, a thumbnail dropped on it, a hold dragged shorter),
# the animation played
# with Space and stopped with Escape (the doll back where it was, nothing marked unsaved),
# the onion skin's ghosts, and the GIF exported through the real dialog, its frames and
# their delays read back by ImageMagick.
source "$(dirname "$0")/lib.sh"
e2e_start "$1" 800x480
e2e_click 500 300 0.1 # hurries the title
e2e_wait_for_editor editor || e2e_finish
t0=$(date +%s.%N) inputs0=$E2E_INPUTS
docs="$E2E_OUT/docs"
rm -rf "$docs"
mkdir -p "$docs"

# Lines beside the forearms; poses 1 and 2: the left hand raised, then the right hand
# raised too (pose 5 recorded the doll at rest from the start)
e2e_drag 240 200 240 262 12
e2e_drag 400 200 400 262 12
e2e_click 745 55 0.5
e2e_drag 220 282 140 180 12
e2e_click 745 155 0.5
e2e_drag 420 282 500 180 12
e2e_move 560 300 1.0
e2e_shot poses
cell() { echo $((70 + 62 * $1)); } # left edge of strip cell i (of up to eight)
e2e_expect_ge "three cells on the strip" "$(e2e_not_white poses "$(cell 2)" 414 "$(($(cell 2) + 58))" 456)" 200
# (the right part of where a fourth cell would be: the left foot stands in its left part)
e2e_expect_eq "no fourth cell" "$(e2e_not_white poses 290 414 312 456)" 0

# Pose 1's step removed (Delete over its cell), pose 1 dropped at the end again, the second
# step's (pose 5) hold dragged 20 pixels shorter (0.25 s): poses 2, 5, 1
e2e_move $(($(cell 0) + 30)) 445 0.3
e2e_key Delete
e2e_drag 745 55 $(($(cell 2) + 10)) 435 12
e2e_drag $(($(cell 1) + 10)) 449 $(($(cell 1) - 10)) 449 10
e2e_move 560 300 1.5
e2e_shot strip
e2e_expect_ge "the dropped step selected (a yellow cell)" \
    "$(e2e_count strip "$(cell 2)" 414 "$(($(cell 2) + 58))" 456 255,255,204)" 500
e2e_expect_eq "still three cells" "$(e2e_not_white strip 290 414 312 456)" 0
title=$(xdotool getwindowname "$E2E_WID")

# Played from the selected step (pose 1): it rests there 0.5 s, then moves into pose 2 in
# 1 s. Meanwhile the strip's playhead is red and the played pose's thumbnail framed blue;
# Escape stops it and the doll is back where it was.
e2e_shot before-play
e2e_key space
sleep 0.8
e2e_shot playing-1
sleep 0.5
e2e_shot playing-2
e2e_expect_ge "the doll moves while playing" "$(e2e_diff_blurred playing-1 playing-2 130 20 590 400)" 300
e2e_expect_ge "a red playhead on the strip" "$(e2e_count playing-2 70 414 588 456 255,0,0)" 20
e2e_expect_ge "the played pose's thumbnail framed blue" "$(e2e_count playing-2 598 8 792 402 0,0,255)" 100
e2e_key Escape
e2e_move 560 300 0.6
e2e_shot stopped
e2e_expect_eq "back where it was" "$(e2e_diff_blurred before-play stopped 130 20 590 400)" 0
e2e_expect_eq "no playhead" "$(e2e_count stopped 70 414 588 456 255,0,0)" 0
e2e_expect_eq "the title as before playing" "$(xdotool getwindowname "$E2E_WID")" "$title"

# Onion skin: the previous step (pose 5, at rest) in orange, the next (pose 2, both hands
# up) in blue
e2e_key o
e2e_move 560 300 0.4
e2e_shot onion
e2e_expect_ge "the previous pose's ghost, warm" "$(e2e_count onion 130 20 590 400 255,184,140)" 100
e2e_expect_ge "the next pose's ghost, cool" "$(e2e_count onion 130 20 590 400 148,189,255)" 100
e2e_key o
e2e_move 560 300 0.3
e2e_shot onion-off
e2e_expect_eq "ghosts gone" "$(e2e_count onion-off 130 20 590 400 255,184,140)" 0

# The GIF: steps of 1 + 0.5, 1 + 0.25 and 1 + 0.5 s make 4.25 s, 106 frames at 25 a second
# (the last 50 ms longer), delays adding up to 425 hundredths, looping; 2 s in, the doll is
# on its way from pose 5 to pose 1, away from where it starts (pose 2)
e2e_key ctrl+shift+e
dlg=$(e2e_dialog "^Export Animation$")
if [ -n "$dlg" ]; then
    xdotool key ctrl+a
    xdotool type --delay 20 "$docs/walk"
    xdotool key Return
    for _ in $(seq 300); do [ -s "$docs/walk.gif" ] && break; sleep 0.1; done
    # The whole session, from the editor's first showing to the GIF on disk (the name typed
    # and Return counted as two inputs; this script's own pauses for its checks included)
    echo "a three-pose looping walk made, played and exported: $((E2E_INPUTS - inputs0 + 2))" \
        "inputs in $(awk -v a="$t0" -v b="$(date +%s.%N)" 'BEGIN {printf "%.1f", b - a}') s"
    sleep 0.5
    e2e_refocus
else
    e2e_fail "no export dialog"
fi
gif="$docs/walk.gif"
e2e_expect_eq "a GIF" "$(identify -format '%m\n' "$gif" 2>&1 | head -1)" "GIF"
e2e_expect_eq "106 frames" "$(identify -format '%n\n' "$gif" 2>/dev/null | head -1)" 106
e2e_expect_eq "delays add up to 4.25 s" \
    "$(identify -format '%T\n' "$gif" 2>/dev/null | awk '{s += $1} END {print s}')" 425
e2e_expect_eq "loops forever" "$(identify -verbose "$gif" 2>/dev/null | awk '/Iterations:/ {print $2; exit}')" 0
convert "$gif" -coalesce "$docs/frame-%03d.png" 2>/dev/null
e2e_expect_ge "it moves" "$(compare -metric AE "$docs/frame-000.png" "$docs/frame-050.png" null: 2>&1 | awk '{print int($1)}')" 200

e2e_alive || e2e_fail "program died"
e2e_finish
