#!/usr/bin/env bash
# The program opens its fixed-size window with a white background and answers input.
source "$(dirname "$0")/lib.sh"
e2e_start "$1" 800x480

e2e_shot start
e2e_expect_eq "title is empty" "$(xdotool getwindowname "$E2E_WID")" ""
e2e_expect_eq "background is white" "$(e2e_pixel start 700 400)" "255,255,255"
e2e_expect_eq "corner is white" "$(e2e_pixel start 5 470)" "255,255,255"

# A press is marked where it landed, in window coordinates
e2e_click 200 150 0.1
e2e_move 600 300 0.3  # take the pointer's cross off the mark
e2e_shot clicked
e2e_expect_eq "press marked at the pointer" "$(e2e_pixel clicked 200 150)" "255,0,0"
e2e_expect_eq "mark is 20 pixels wide" "$(e2e_count clicked 180 130 221 171 255,0,0)" "400"

# Keys arrive (the stand-in applet prints the last key code)
e2e_key a
sleep 0.2
e2e_shot key
e2e_expect_ge "key code drawn" "$(e2e_count key 5 5 120 25 0,0,0)" 10
e2e_expect_eq "nothing drawn below the text" "$(e2e_count key 5 30 120 60 0,0,0)" 0

# Resizing by hand snaps back
xdotool windowsize "$E2E_WID" 500 300
sleep 0.5
size=$(xwininfo -id "$E2E_WID" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
e2e_expect_eq "size is locked" "$size" "800x480"

e2e_alive || e2e_fail "program died"
e2e_finish
