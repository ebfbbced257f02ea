#!/usr/bin/env bash
# The program opens its fixed-size window, titled after its document and named for the
# desktop (its class, process and icon), with a white background, shows the editor once the
# title splash is over, and answers the mouse and the keyboard.
source "$(dirname "$0")/lib.sh"
e2e_start "$1" 800x480

# What ties the window to velko.desktop (StartupWMClass=velko) and shows its icon in docks
e2e_expect_eq "WM_CLASS" "$(xprop -id "$E2E_WID" WM_CLASS)" 'WM_CLASS(STRING) = "velko", "Velko"'
e2e_expect_eq "_NET_WM_PID" "$(xprop -id "$E2E_WID" _NET_WM_PID)" "_NET_WM_PID(CARDINAL) = $E2E_PID"
e2e_expect_eq "_NET_WM_ICON sizes" "$(xprop -id "$E2E_WID" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' |
    tr '\n' ' ')" "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) Icon (64 x 64) Icon (128 x 128) "

e2e_expect_eq "title names the new doll" "$(xdotool getwindowname "$E2E_WID")" "Untitled - Velko"
e2e_click 500 300 0.1  # ends the title sequence
e2e_wait_for_editor start || e2e_finish
e2e_expect_eq "background is white" "$(e2e_pixel start 500 300)" "255,255,255"
e2e_expect_eq "corner is white" "$(e2e_pixel start 5 475)" "255,255,255"

# A press on the mode panel chooses "Pose"
e2e_click 40 80 0.2
e2e_move 500 450 0.3
e2e_shot pose-chosen
e2e_expect_eq "Pose chosen" "$(e2e_pixel pose-chosen 14 74)" "$(e2e_pixel start 14 54)"
e2e_expect_eq "Draw and Pose no longer chosen" "$(e2e_pixel pose-chosen 14 54)" "255,255,255"

# Keys arrive: tab moves the edit pose (the yellow frame) from pose 5 (top left) to 6. The
# doll may still be on its way into the first pose (framed red) when the editor first shows.
for _ in $(seq 20); do
    [ "$(e2e_count start 605 8 685 13 255,255,0)" -ge 100 ] && break
    sleep 0.2
    e2e_shot start
done
e2e_expect_ge "pose 5 framed yellow" "$(e2e_count start 605 8 685 13 255,255,0)" 100
e2e_key Tab
sleep 0.3
e2e_shot tab
e2e_expect_eq "pose 5 no longer framed" "$(e2e_count tab 605 8 685 13 255,255,0)" 0
e2e_expect_ge "pose 6 framed yellow" "$(e2e_count tab 605 108 685 113 255,255,0)" 100

# Resizing by hand snaps back
xdotool windowsize "$E2E_WID" 500 300
sleep 0.5
size=$(xwininfo -id "$E2E_WID" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
e2e_expect_eq "size is locked" "$size" "800x480"

e2e_alive || e2e_fail "program died"
e2e_finish
