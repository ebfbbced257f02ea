#!/usr/bin/env bash
# What a person sees in the editor: the start screen (numbered thumbnails, the menu button,
# the status line), a pose slot emptied, a line sketched along a bone that follows the bone
# when the doll is posed, undone and redone by keys and through the menu, a quick stroke
# selected between its points, "Edit Skeleton" hiding lines and thickening bones, and the
# icon menu on its blue tint. Then the person's documents: the menu the program draws (its
# first showing, Escape, its button, its keys), Save As through the real zenity dialog,
# quitting, starting again with the document on the command line (a short title sequence),
# Ctrl+S, Ctrl+E exporting a picture through the real dialog, a save onto a full disk, Quit
# cancelled, and unsaved work brought back through the restore question after a kill. The
# first run inherits SIGCHLD ignored, and every answer of the real dialogs must still
# arrive. Last, a document whose name is not UTF-8: with zenity failing, Quit keeps the work
# as a recovery copy; with zenity back, the next start offers it under its name.
source "$(dirname "$0")/lib.sh"
ignored=$(perl -e '$SIG{CHLD} = "IGNORE"; exec @ARGV' awk '/^SigIgn/{print $2}' /proc/self/status)
e2e_expect_eq "a launcher that ignores SIGCHLD" "$(((16#$ignored >> 16) & 1))" 1
E2E_SIGCHLD=ignore e2e_start "$1" 800x480
e2e_click 500 300 0.1  # ends the title sequence
e2e_wait_for_editor start || e2e_finish

# The status line: black for a message, gray for a hint (window pixels 70..588 x 462..476)
status_ink() { e2e_count "$1" 70 462 588 476 "$2"; }
hint=140,140,140 message=0,0,0

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
# Each thumbnail's number in its top-left corner: "1" top right has less ink than "8"
# bottom left. The menu button in the panel's style, the mode's hint on the status line.
one=$(e2e_not_white start 702 12 714 24) eight=$(e2e_not_white start 602 312 614 324)
e2e_expect_eq "numbers 1 and 8 where they belong ($one, $eight)" "$((one >= 5 && eight > one))" 1
e2e_expect_ge "the menu button's frame" "$(e2e_count start 12 116 120 118 191,191,191)" 80
e2e_expect_ge "the hint for Draw and Pose" "$(status_ink start $hint)" 100

# Pose 5 records the doll (yellow frame); Delete over its thumbnail empties it for good,
# the status line says so, and Ctrl+Z brings it back
e2e_expect_ge "thumbnail 5 holds a figure" "$(e2e_not_white start 615 25 687 97)" 40
e2e_move 645 55 0.2
e2e_key Delete
e2e_move 645 56 0.5
e2e_shot slot-cleared
e2e_expect_eq "thumbnail 5 stays empty, not framed yellow" \
    $(($(e2e_not_white slot-cleared 615 25 687 97) + $(e2e_count slot-cleared 600 8 690 13 255,255,0))) 0
e2e_expect_ge "Cleared pose 5 on the status line" "$(status_ink slot-cleared $message)" 40
e2e_key ctrl+z
e2e_shot slot-back
e2e_expect_ge "Ctrl+Z gives it back" "$(e2e_not_white slot-back 615 25 687 97)" 40

# A line sketched beside the right forearm is drawn in gray along it
e2e_drag 400 200 400 262 12
e2e_move 500 450 0.3
e2e_shot line
e2e_expect_ge "line drawn along the forearm" "$(e2e_count line 394 198 407 262 128,128,128)" 30

# Ctrl+Z takes the line away, Ctrl+Shift+Z brings it back
e2e_key ctrl+z
e2e_move 500 450 0.3
e2e_shot undone
e2e_expect_eq "Ctrl+Z removed the line" "$(e2e_count undone 394 198 407 262 128,128,128)" 0
e2e_key ctrl+shift+z
e2e_move 500 450 0.3
e2e_shot redone
e2e_expect_ge "Ctrl+Shift+Z brought it back" "$(e2e_count redone 394 198 407 262 128,128,128)" 30
# The same through the menu: Edit > Undo Draw Line, then Ctrl+Y
e2e_menu_item 300 120 1 $E2E_UNDO edit-menu
e2e_expect_ge "Edit's items beside it, Undo lit" "$(e2e_count edit-menu 425 145 540 163 128,128,128)" 600
e2e_move 500 450 0.3
e2e_shot menu-undone
e2e_expect_eq "Edit > Undo removed the line" "$(e2e_count menu-undone 394 198 407 262 128,128,128)" 0
e2e_key ctrl+y
e2e_move 500 450 0.3
e2e_shot menu-redone
e2e_expect_ge "Ctrl+Y brought it back" "$(e2e_count menu-redone 394 198 407 262 128,128,128)" 30

# A line drawn with one quick stroke has two points 62 apart; a click between them selects
# it (its yellow halo), and Backspace deletes it
e2e_drag 240 200 240 262 1
e2e_click 242 231 0.2
e2e_move 500 450 0.3
e2e_shot quick-selected
e2e_expect_ge "the quick line selected between its points" \
    "$(e2e_count quick-selected 232 200 249 262 255,255,0)" 60
e2e_key BackSpace

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

# --- Documents ---------------------------------------------------------------------------
docs="$E2E_OUT/docs"
rm -rf "$docs"
mkdir -p "$docs"
e2e_click 700 460 0.3 # closes the icon menu
e2e_expect_eq "title marks the unsaved doll" "$(xdotool getwindowname "$E2E_WID")" \
    "Untitled • - Velko"

# The menu the program draws, at its first showing before the pointer moves: a white box
# with a gray frame just off the pointer, "File" and "Edit" in it, the doll hidden under
# it, nothing lit
e2e_move 300 120 0.3
e2e_shot before-menu
xdotool click 3
sleep 0.3
e2e_shot menu-first
e2e_expect_ge "its frame's left edge by the pointer" "$(e2e_count menu-first 297 125 303 160 128,128,128)" 30
e2e_expect_ge "File and Edit written in it" "$(e2e_not_white menu-first 322 125 365 165)" 30
e2e_expect_eq "the spine hidden, no row lit" "$(e2e_count menu-first 305 125 415 165 128,128,128)" 0
e2e_expect_eq "no bone lit for a click it takes" "$(e2e_count menu-first 130 0 590 455 0,255,0)" 0
e2e_key Escape
e2e_shot menu-escaped
diff=$(e2e_diff_blurred before-menu menu-escaped 290 110 560 340)
[ "$diff" -lt 30 ] && echo "ok: Escape closes it: the doll shows again ($diff pixels differ)" ||
    e2e_fail "after Escape $diff pixels differ from before the menu"
# The button opens it below itself; Down to File, Right into its items (New), Up twice
# past Quit to Edit Mask, and Return chooses
e2e_click 60 125 0.3
e2e_shot menu-button
e2e_expect_ge "opened below the button" "$(e2e_count menu-button 9 137 14 170 128,128,128)" 25
for k in Down Right Up Up; do e2e_key "$k"; done
e2e_shot menu-keys
e2e_key Return
e2e_move 560 460 0.4
e2e_shot mask-on
e2e_expect_eq "Edit Mask chosen from the menu" "$(e2e_pixel mask-on 560 450)" "255,230,230"
e2e_key ctrl+m
e2e_move 560 460 0.3
e2e_shot mask-off
e2e_expect_eq "Ctrl+M turns it off" "$(e2e_pixel mask-off 560 450)" "255,255,255"

# Save As through the real dialog: a full path typed into its name field
e2e_key ctrl+shift+s
dlg=$(e2e_dialog "^Save As$")
if [ -z "$dlg" ]; then
    e2e_fail "no save dialog"
else
    e2e_screen save-dialog
    xdotool key ctrl+a
    xdotool type --delay 20 "$docs/posed.velko"
    xdotool key Return
    sleep 1.5
    e2e_refocus
fi
[ -f "$docs/posed.velko" ] && echo "ok: saved" || e2e_fail "no document written"
e2e_expect_eq "header" "$(head -3 "$docs/posed.velko" | tr '\n' '|')" "tbff .1||chunk velko 1.0 anonymous {|"
e2e_expect_eq "title names the document" "$(xdotool getwindowname "$E2E_WID")" "posed.velko - Velko"
e2e_move 560 460 0.3
e2e_shot saved
e2e_expect_ge "Saved posed.velko on the status line" "$(status_ink saved $message)" 40

# Quit: nothing unsaved, so no question and the program ends
e2e_key ctrl+q
e2e_wait_exit
e2e_expect_eq "Ctrl+Q ends the program" "$E2E_EXIT" 0

# Started again with the document, the doll, its line and the skull are back; with a
# document waiting the title sequence is over within 2 seconds, untouched
e2e_start "$1" 800x480 "$docs/posed.velko"
sleep 2.2
e2e_shot reopened-at-once
e2e_expect_eq "the editor within 2 s" "$(e2e_pixel reopened-at-once 14 54 | sed 's/127/128/g')" 128,128,128
e2e_expect_ge "Opened posed.velko on the status line" "$(status_ink reopened-at-once $message)" 40
e2e_wait_for_editor reopened || e2e_finish
e2e_move 560 460 0.8
e2e_shot reopened
e2e_expect_eq "title names the opened document" "$(xdotool getwindowname "$E2E_WID")" \
    "posed.velko - Velko"
# (the lines breathe, so their edges may be a pixel apart)
# (above the status line, which tells different news)
diff=$(($(e2e_diff_blurred saved reopened 220 0 590 455) +
    $(e2e_diff_blurred saved reopened 130 120 220 455)))
[ "$diff" -lt 20 ] && echo "ok: the doll is drawn as saved ($diff pixels differ)" ||
    e2e_fail "the reopened doll differs in $diff pixels"
# The icon breathes more: the heart is where it was moved, about as big
a=$(e2e_centroid saved 130 0 300 120 0,0,0)
b=$(e2e_centroid reopened 130 0 300 120 0,0,0)
e2e_near "$a" "$b" 3 && echo "ok: the icon is where it was ($a, $b)" ||
    e2e_fail "the icon moved: saved at $a, reopened at $b"
e2e_expect_ge "the line is back" "$(e2e_count reopened 394 160 560 262 128,128,128)" 30

# Ctrl+S writes the opened document again, with what was drawn since, without asking
lines_before=$(grep -c "line {" "$docs/posed.velko")
e2e_drag 240 200 240 262 12
e2e_key ctrl+s
sleep 0.5
e2e_expect_eq "Ctrl+S added the line" "$(grep -c "line {" "$docs/posed.velko")" $((lines_before + 1))
e2e_expect_eq "no dialog for Save" "$(xdotool search --onlyvisible --name "^Save" | wc -l)" 0
e2e_expect_eq "saved, so unmarked" "$(xdotool getwindowname "$E2E_WID")" "posed.velko - Velko"

# Ctrl+E exports a picture of the doll through the real dialog
e2e_key ctrl+e
dlg=$(e2e_dialog "^Export Picture$")
if [ -n "$dlg" ]; then
    xdotool key ctrl+a
    xdotool type --delay 20 "$docs/posed"
    xdotool key Return
    sleep 2
    e2e_refocus
else
    e2e_fail "no export dialog"
fi
e2e_expect_eq "the picture, named with .png" "$(identify -format '%m %wx%h' "$docs/posed.png" 2>&1)" \
    "PNG 800x480"
e2e_expect_ge "its lines drawn" "$(convert "$docs/posed.png" -fill black +opaque white -format \
    '%[fx:int(w*h*(1-mean))]' info: 2>/dev/null || echo 0)" 100
e2e_move 560 460 0.2
e2e_shot exported
e2e_expect_ge "Exported posed.png on the status line" "$(status_ink exported $message)" 60

# A full disk: the save fails with a message, the old bytes stay, no stray file is left
# (a small file system needs root to mount)
full="$E2E_OUT/full-disk"
if [ "$(id -u)" -eq 0 ] && mkdir -p "$full" && mount -t tmpfs -o size=64k tmpfs "$full"; then
    trap 'umount "$full" 2>/dev/null' EXIT
    cp "$docs/posed.velko" "$full/doll.velko"
    e2e_key ctrl+shift+s
    dlg=$(e2e_dialog "^Save As$")
    xdotool key ctrl+a
    xdotool type --delay 20 "$full/doll.velko"
    xdotool key Return
    sleep 1
    # The dialog asks before replacing the file there
    xdotool key Return
    sleep 1
    e2e_refocus
    e2e_expect_eq "saved onto the small disk" "$(xdotool getwindowname "$E2E_WID")" "doll.velko - Velko"
    cp "$full/doll.velko" "$E2E_OUT/doll-before.velko"
    dd if=/dev/zero of="$full/filler" bs=1k count=1024 2>/dev/null
    e2e_drag 252 350 252 415 12
    e2e_key ctrl+s
    dlg=$(e2e_dialog "^Save$")
    if [ -n "$dlg" ]; then
        e2e_screen disk-full
        echo "ok: the failure is shown in a dialog"
        xdotool key Return
        sleep 0.5
        e2e_refocus
    else
        e2e_fail "no message about the failed save"
    fi
    grep -q 'Could not save ".*doll.velko": No space left on device' "$E2E_OUT/program.log" &&
        echo "ok: the failure is on stderr" || e2e_fail "no line on stderr"
    cmp -s "$full/doll.velko" "$E2E_OUT/doll-before.velko" && echo "ok: the old file is intact" ||
        e2e_fail "the old file changed"
    e2e_expect_eq "no stray file" "$(ls -A "$full" | tr '\n' ' ')" "doll.velko filler "
    e2e_expect_eq "still unsaved" "$(xdotool getwindowname "$E2E_WID")" "doll.velko • - Velko"
    e2e_alive || e2e_fail "program died after the failed save"
    rm -f "$full/filler"
else
    echo "skip: a full disk needs root to mount a small file system"
    e2e_drag 252 350 252 415 12
fi

# Quit with unsaved changes: the question, and Cancel keeps the program running
e2e_key ctrl+q
dlg=$(e2e_dialog "^Quit$")
if [ -n "$dlg" ]; then
    e2e_screen quit-question
    xdotool key Escape
    sleep 1
    e2e_refocus
    e2e_alive && echo "ok: Cancel keeps the program running" || e2e_fail "the program ended"
    e2e_window_exists "$dlg" && e2e_fail "the question stayed open"
else
    e2e_fail "no question before quitting"
fi
# Killed with unsaved work: the recovery copy (never more than 5 s behind) brings it back,
# the line drawn a moment after the last copy included
e2e_drag 330 380 330 420 12
sleep 1
e2e_drag 215 330 215 380 12
sleep 5
e2e_move 560 460 0.5
e2e_shot before-kill
title=$(xdotool getwindowname "$E2E_WID")
kill -9 "$E2E_PID"
wait "$E2E_PID" 2>/dev/null
copy=$(ls "$XDG_STATE_HOME"/velko/*.recovery)
e2e_expect_eq "a recovery copy was left" "$(echo "$copy" | grep -c .)" 1
e2e_start "$1" 800x480
started=$(date +%s%N)
dlg=$(e2e_dialog "^Velko$")
# A recovery copy waits, so the title sequence is short: untouched, the question comes well
# before the 10 s a whole sequence lasts (zenity needs a moment to show)
waited=$((($(date +%s%N) - started) / 1000000))
e2e_expect_eq "the question after $waited ms" "$((waited <= 6000))" 1
if [ -n "$dlg" ]; then
    e2e_screen restore-question
    xdotool key Return # Restore
    sleep 1
    e2e_refocus
else
    e2e_fail "no restore question"
fi
e2e_wait_for_editor restored || e2e_finish
e2e_move 560 460 0.8
e2e_shot restored
e2e_expect_eq "restored under its name, unsaved" "$(xdotool getwindowname "$E2E_WID")" "$title"
diff=$(($(e2e_diff_blurred before-kill restored 220 0 590 455) +
    $(e2e_diff_blurred before-kill restored 130 120 220 455)))
[ "$diff" -lt 20 ] && echo "ok: the doll is back ($diff pixels differ)" ||
    e2e_fail "the restored doll differs in $diff pixels"
[ -e "$copy" ] && e2e_fail "the restored copy is still there" || echo "ok: the copy is taken"

# Don't Save ends it, and a clean exit leaves no recovery copy behind
sleep 0.5
e2e_key ctrl+q
dlg=$(e2e_dialog "^Quit$")
xdotool key shift+Tab shift+Tab space
e2e_wait_exit
e2e_expect_eq "Don't Save ends the program" "$E2E_EXIT" 0
e2e_expect_eq "no copy after a clean exit" "$(ls "$XDG_STATE_HOME/velko" | tr '\n' ' ')" ""

# A name in Latin-1 (caf\xe9) and a zenity that fails: Quit keeps a copy and ends
latin1="$docs/caf$(printf '\351').velko"
fffd=$(printf '\357\277\275')
shown="caf$fffd.velko"
broken="$E2E_OUT/broken-zenity"
mkdir -p "$broken"
printf '#!/bin/sh\nexit 255\n' >"$broken/zenity"
chmod +x "$broken/zenity"
PATH="$broken:$PATH" e2e_start "$1" 800x480 "$latin1"
e2e_click 500 300 0.1
e2e_wait_for_editor latin1 || e2e_finish
e2e_expect_eq "the name shown as UTF-8" "$(xdotool getwindowname "$E2E_WID")" "$shown - Velko"
e2e_drag 400 200 400 262 12
e2e_key ctrl+q
e2e_wait_exit
e2e_expect_eq "Quit ends the program when it cannot ask" "$E2E_EXIT" 0
grep -q "could not ask" "$E2E_OUT/program.log" && echo "ok: said so on stderr" ||
    e2e_fail "nothing on stderr about the question"
e2e_expect_eq "its work kept as a recovery copy" "$(ls "$XDG_STATE_HOME"/velko/*.recovery | wc -l)" 1
e2e_start "$1" 800x480
e2e_click 500 300 0.1
[ -n "$(e2e_dialog "^Velko$")" ] || e2e_fail "no restore question for the Latin-1 name"
e2e_screen restore-latin1
xdotool key Return # Restore
sleep 1
e2e_refocus
e2e_wait_for_editor restored-latin1 || e2e_finish
e2e_expect_eq "restored under its name" "$(xdotool getwindowname "$E2E_WID")" "$shown • - Velko"
# The real choosers propose the name as the title shows it, in the document's folder, and
# the path chosen comes back whole: Return in each writes beside the document
e2e_key ctrl+e
[ -n "$(e2e_dialog "^Export Picture$")" ] || e2e_fail "no export chooser for the Latin-1 name"
e2e_screen export-latin1
xdotool key Return
sleep 2
e2e_refocus
e2e_expect_eq "exported under the name shown" "$(identify -format %m "$docs/caf$fffd.png" 2>&1)" PNG
e2e_key ctrl+shift+s
[ -n "$(e2e_dialog "^Save As$")" ] || e2e_fail "no Save As chooser for the Latin-1 name"
e2e_screen saveas-latin1
xdotool key Return
sleep 1.5
e2e_refocus
e2e_expect_eq "saved under the name shown" "$(head -1 "$docs/$shown" 2>&1)" "tbff .1"
e2e_expect_eq "and named so" "$(xdotool getwindowname "$E2E_WID")" "$shown - Velko"
e2e_finish
