#!/usr/bin/env bash
# A new user's first doll: the title splash, ended by a click; lines sketched on three
# bones; the doll posed by a hand with its line following; two poses stored in thumbnails
# and clicked between; one pose copied by dragging its thumbnail onto another; and the
# edit pose stepped with tab and the arrow keys.
source "$(dirname "$0")/lib.sh"
e2e_start "$1" 800x480

# The splash: the title fading in somewhere along its curve, the copyright line bottom
# left, no editor yet
sleep 1.5
e2e_shot splash
e2e_expect_ge "title drawn" "$(e2e_not_white splash 100 40 700 440)" 40
e2e_expect_ge "copyright line" "$(e2e_count splash 0 455 250 480 191,191,191)" 20
e2e_expect_eq "no mode panel yet" "$(e2e_pixel splash 14 54)" "255,255,255"
e2e_click 500 300 0.1 # ends it: the editor is there within half a second
sleep 0.3
e2e_shot editor-at-once
e2e_expect_eq "the editor within 0.5 s" "$(e2e_pixel editor-at-once 14 54 | sed 's/127/128/g')" 128,128,128

# Lines beside the right forearm, the left forearm and the left shin
e2e_drag 400 200 400 262 12
e2e_drag 240 200 240 262 12
e2e_drag 252 350 252 415 12
e2e_move 560 460 0.3
e2e_shot lines
e2e_expect_ge "line on the right forearm" "$(e2e_count lines 394 198 407 262 128,128,128)" 30
e2e_expect_ge "line on the left forearm" "$(e2e_count lines 234 200 247 262 128,128,128)" 30
e2e_expect_ge "line on the left shin" "$(e2e_count lines 246 352 259 414 128,128,128)" 30

# Pose 4 is being recorded: the left hand pulled out to the left. In "Play" only the lines
# are drawn, so the left forearm's line is seen to have gone with its bone.
e2e_drag 220 282 130 215 12
e2e_click 40 20 0.2
e2e_move 560 460 0.6
e2e_shot posed-play
e2e_expect_eq "Play chosen" "$(e2e_pixel posed-play 14 14)" "$(e2e_pixel lines 14 54)"
e2e_expect_ge "left forearm's line moved out" "$(e2e_count posed-play 90 150 215 290 128,128,128)" 30
e2e_expect_ge "other lines stay" "$(e2e_count posed-play 246 352 259 414 128,128,128)" 30
old=$(e2e_count posed-play 234 200 247 262 128,128,128)
[ "$old" -lt 10 ] && echo "ok: line gone from its old place" ||
    e2e_fail "line still at its old place ($old gray pixels)"
e2e_expect_eq "no bones in Play" "$(e2e_count posed-play 130 0 590 480 191,191,191)" 0
e2e_click 40 60 0.2 # back to "Draw and Pose"

# Pose 6 (below pose 5) records the next pose: the right hand raised to the right as well
e2e_click 645 155 0.5
e2e_drag 420 282 530 185 12
e2e_move 560 460 0.8
e2e_shot pose6
e2e_expect_ge "pose 6 framed yellow" "$(e2e_count pose6 605 108 685 113 255,255,0)" 100
e2e_expect_ge "right hand out in pose 6" "$(e2e_count pose6 450 100 590 260 128,128,128)" 60

# Clicking pose 5 takes the doll back to the first pose, and pose 6 to the second
e2e_click 645 55 0.2
e2e_move 560 460 1.5
e2e_shot back-to-5
e2e_expect_ge "pose 5 framed yellow" "$(e2e_count back-to-5 605 8 685 13 255,255,0)" 100
e2e_expect_eq "right hand back down" "$(e2e_count back-to-5 450 100 590 260 128,128,128)" 0
e2e_expect_ge "right hand at its old place" "$(e2e_count back-to-5 402 264 439 301 128,128,128)" 40
e2e_expect_ge "left hand still out" "$(e2e_count back-to-5 90 150 215 290 128,128,128)" 30
e2e_click 645 155 0.2
e2e_move 560 460 1.5
e2e_shot back-to-6
e2e_expect_ge "right hand raised again" "$(e2e_count back-to-6 450 100 590 260 128,128,128)" 60
# The right hand and its line are where they were recorded (motion stops within 3 units)
a=$(e2e_centroid pose6 450 100 590 260 128,128,128)
b=$(e2e_centroid back-to-6 450 100 590 260 128,128,128)
e2e_near "$a" "$b" 4 && echo "ok: pose 6 as it was recorded ($a, $b)" ||
    e2e_fail "pose 6 came back elsewhere: recorded at $a, now at $b"

# Pose 1 (top right) is empty until pose 6 is dragged onto it
e2e_expect_eq "pose 1 empty" "$(e2e_not_white back-to-6 715 25 786 96)" 0
e2e_drag 645 155 745 55 12
e2e_move 560 460 0.3
e2e_shot copied
e2e_expect_ge "pose 1 holds a figure" "$(e2e_not_white copied 715 25 786 96)" 40
diff=$(e2e_diff copied copied 715 25 786 96 615 125)
[ "$diff" -lt 30 ] && echo "ok: pose 1 shows pose 6 ($diff pixels differ)" ||
    e2e_fail "pose 1 differs from pose 6 ($diff pixels)"
# and clicking it moves the doll into the copied pose
e2e_click 745 55 0.2
e2e_move 560 460 1.5
e2e_shot pose1
e2e_expect_ge "pose 1 has the right hand raised" "$(e2e_count pose1 450 100 590 260 128,128,128)" 60

# Tab and down step to the next thumbnail, up to the one before, left to the column on the
# left (5 on) and right back again
yellow_at() { # shot pose -> yellow pixels along its thumbnail's top edge
    local i=$(($2 - 1)) x y
    x=$((i < 4 ? 705 : 605)) y=$((8 + 100 * (i % 4)))
    e2e_count "$1" "$x" "$y" $((x + 80)) $((y + 5)) 255,255,0
}
e2e_expect_ge "pose 1 edited" "$(yellow_at pose1 1)" 100
step=0
for key_want in Tab:2 Down:3 Up:2 Left:6 Right:2 Tab:3; do
    key=${key_want%:*} want=${key_want#*:}
    e2e_key "$key"
    sleep 0.3
    step=$((step + 1))
    e2e_shot "key-$step-$key"
    e2e_expect_ge "$key frames pose $want yellow" "$(yellow_at "key-$step-$key" "$want")" 100
done

e2e_alive || e2e_fail "program died"
e2e_finish
