#!/usr/bin/env bash
# End-to-end helpers: start the built program on the X display, find its window, send it
# real input with xdotool (positions relative to the window, which may sit anywhere on a
# bare X server), take screenshots and read pixels from them.
#
# Usage: source lib.sh; e2e_start PROGRAM; ... ; e2e_stop
set -uo pipefail

E2E_OUT="${E2E_OUT:-$PWD/e2e-shots}"
mkdir -p "$E2E_OUT"
# The program keeps recovery copies of unsaved work in its state folder: the tests' own, so
# a test never touches (or is offered) a person's copies
export XDG_STATE_HOME="$E2E_OUT/state"
rm -rf "$XDG_STATE_HOME"
: >"$E2E_OUT/program.log"
E2E_PID=""
E2E_WID=""
E2E_FAILS=0

e2e_fail() {
    echo "FAIL: $*" >&2
    E2E_FAILS=$((E2E_FAILS + 1))
}

# Top-level windows of the display, one id a line
e2e_windows() { xwininfo -root -children 2>/dev/null | awk '/^ +0x/{print $1}' | sort; }

# Starts the program (with any further arguments, such as a document) and waits for its
# window (the new top-level window of the given size) to be mapped. The program's output is
# added to program.log. With E2E_SIGCHLD=ignore the program inherits SIGCHLD ignored, as
# some launchers leave it.
e2e_start() {
    local prog="$1" want="${2:-800x480}"
    shift 2 || shift $#
    [ -n "${DISPLAY:-}" ] || { echo "SKIP: no display"; exit 0; }
    local before
    before=$(e2e_windows)
    if [ "${E2E_SIGCHLD:-}" = ignore ]; then
        perl -e '$SIG{CHLD} = "IGNORE"; exec @ARGV or die' "$prog" "$@" >>"$E2E_OUT/program.log" 2>&1 &
    else
        "$prog" "$@" >>"$E2E_OUT/program.log" 2>&1 &
    fi
    E2E_PID=$!
    E2E_WID=""
    for _ in $(seq 150); do
        for w in $(comm -13 <(echo "$before") <(e2e_windows)); do
            local info
            info=$(xwininfo -id "$w" 2>/dev/null)
            if echo "$info" | grep -q 'IsViewable' &&
                [ "$(echo "$info" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')" = "$want" ]; then
                E2E_WID="$w"
            fi
        done
        [ -n "$E2E_WID" ] && break
        e2e_alive || break
        sleep 0.1
    done
    [ -n "$E2E_WID" ] || { e2e_fail "no window appeared"; e2e_stop; exit 1; }
    xdotool windowfocus --sync "$E2E_WID" 2>/dev/null || true
    sleep 0.3
}

e2e_alive() { kill -0 "$E2E_PID" 2>/dev/null; }

# Waits up to 10 s for the program to end by itself; E2E_EXIT becomes its exit code, or
# "running". Not in a subshell: only this shell can collect the program's exit code.
e2e_wait_exit() {
    E2E_EXIT=running
    for _ in $(seq 100); do
        if ! e2e_alive; then
            wait "$E2E_PID" 2>/dev/null
            E2E_EXIT=$?
            E2E_PID=""
            return
        fi
        sleep 0.1
    done
}

# Waits up to 10 s for a visible dialog whose title matches NAME, gives it the focus (a bare
# X server has no window manager to do that) and prints its id; prints nothing on time-out
e2e_dialog() {
    local w=""
    for _ in $(seq 100); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    [ -n "$w" ] || return 0
    sleep 0.5 # let it draw and take input
    xdotool windowfocus --sync "$w" 2>/dev/null
    echo "$w"
}

# Gives the program's window the focus back once a dialog has gone (nothing else does on a
# bare X server)
e2e_refocus() { xdotool windowfocus --sync "$E2E_WID" 2>/dev/null; sleep 0.2; }

# Number of pixels that differ between the box x0,y0 to x1,y1 (exclusive) of screenshots A
# and B once both are blurred by a pixel or two: what moved stays counted, a line that only
# breathes (grows and shrinks by a pixel) does not
e2e_diff_blurred() {
    local a="$1" b="$2" w=$(($5 - $3)) h=$(($6 - $4))
    convert \( "$E2E_OUT/$a.png" -crop "${w}x$h+$3+$4" +repage -blur 0x2 \) \
        \( "$E2E_OUT/$b.png" -crop "${w}x$h+$3+$4" +repage -blur 0x2 \) \
        -metric AE -fuzz 12% -compare -format '%[distortion]' info: | awk '{print int($1)}'
}

# Whether a window with the id is still there
e2e_window_exists() { xwininfo -id "$1" >/dev/null 2>&1; }

# Screenshot of the whole screen (dialogs and pop-up menus are windows of their own)
e2e_screen() { import -window root "$E2E_OUT/$1.png" 2>/dev/null; }

e2e_stop() {
    if [ -n "$E2E_PID" ] && e2e_alive; then
        kill "$E2E_PID" 2>/dev/null
        wait "$E2E_PID" 2>/dev/null
    fi
    E2E_PID=""
}

# Window-relative pointer actions; let the program run a few ticks after each. Clicks,
# drags and keys a person makes are counted in E2E_INPUTS (pointer moves are not).
E2E_INPUTS=0
e2e_move() { xdotool mousemove --window "$E2E_WID" "$1" "$2"; sleep "${3:-0.1}"; }
e2e_click() { E2E_INPUTS=$((E2E_INPUTS + 1)); e2e_move "$1" "$2" 0.05; xdotool click 1; sleep "${3:-0.15}"; }
e2e_drag() {  # x0 y0 x1 y1 [steps]
    local steps="${5:-10}"
    E2E_INPUTS=$((E2E_INPUTS + 1))
    e2e_move "$1" "$2" 0.1
    xdotool mousedown 1
    sleep 0.1
    for i in $(seq 1 "$steps"); do
        xdotool mousemove --window "$E2E_WID" $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
        sleep 0.05
    done
    sleep 0.1
    xdotool mouseup 1
    sleep 0.15
}
e2e_key() { E2E_INPUTS=$((E2E_INPUTS + 1)); xdotool key --clearmodifiers "$@"; sleep 0.15; }

# The menu the program draws in its window, opened with a right click at X Y: its box
# starts at X+1 Y+1, its rows (File, Edit) are 20 pixels from Y+4; a submenu opens beside
# its row with its first row level with it, and its separators are 9 pixels. This points
# at top-level row TOP (0 File, 1 Edit), moves across into the submenu, then down to the
# row whose centre lies DY below the submenu's first row's top, and clicks it. The window
# is taken as SHOT just before the click.
e2e_menu_item() { # x y top dy shot
    local row=$(($2 + 4 + 20 * $3))
    e2e_move "$1" "$2" 0.1
    xdotool click 3
    sleep 0.3
    e2e_move $(($1 + 40)) $((row + 10)) 0.3 # its submenu opens beside it
    e2e_move $(($1 + 160)) $((row + 10)) 0.2
    e2e_move $(($1 + 160)) $((row + $4)) 0.3
    e2e_shot "$5"
    xdotool click 1
    sleep 0.4
}
# Centre offsets (DY above) of File's rows: New 10, Open 30, Save 50, Save As 70, Export
# Picture 99, Export Pose Sheet 119, Export Animation 139, Home Position 168, Edit Mask
# 188, Quit 217; of Edit's: Undo 10, Redo 30
E2E_EDIT_MASK=188
E2E_UNDO=10

# Screenshot of the window only
e2e_shot() { import -window "$E2E_WID" "$E2E_OUT/$1.png" 2>/dev/null; }

# Pixel colour of a screenshot as "r,g,b" (0-255)
e2e_pixel() {
    convert "$E2E_OUT/$1.png" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}

# Number of pixels of the colour r,g,b inside the box x0,y0 to x1,y1 (exclusive)
e2e_count() {
    local shot="$1" x0="$2" y0="$3" x1="$4" y1="$5" hex
    hex=$(echo "$6" | awk -F, '{printf "#%02X%02X%02X", $1, $2, $3}')
    convert "$E2E_OUT/$shot.png" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage \
        -depth 8 txt:- | grep -c " $hex "
}

# Number of pixels inside the box x0,y0 to x1,y1 (exclusive) that are not white
e2e_not_white() {
    local shot="$1" x0="$2" y0="$3" x1="$4" y1="$5"
    echo $((($4 - $2) * ($5 - $3) - $(e2e_count "$shot" "$x0" "$y0" "$x1" "$y1" 255,255,255)))
}

# Number of pixels that differ by more than a few levels between the box x0,y0 to x1,y1
# (exclusive) of screenshot A and the same box of screenshot B, or the box of the same size
# at bx0,by0 of B when given
e2e_diff() {
    local a="$1" b="$2" w=$(($5 - $3)) h=$(($6 - $4))
    local bx="${7:-$3}" by="${8:-$4}"
    convert \( "$E2E_OUT/$a.png" -crop "${w}x$h+$3+$4" +repage \) \
        \( "$E2E_OUT/$b.png" -crop "${w}x$h+$bx+$by" +repage \) \
        -metric AE -fuzz 5% -compare -format '%[distortion]' info: | awk '{print int($1)}'
}

# Centre "x y" (window pixels, rounded) of the pixels of the colour r,g,b inside the box
# x0,y0 to x1,y1 (exclusive); "none" when there are none
e2e_centroid() {
    local shot="$1" x0="$2" y0="$3" x1="$4" y1="$5" hex
    hex=$(echo "$6" | awk -F, '{printf "#%02X%02X%02X", $1, $2, $3}')
    convert "$E2E_OUT/$shot.png" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage \
        -depth 8 txt:- | grep " $hex " | tr ',:' '  ' |
        awk -v x0="$x0" -v y0="$y0" '{sx += $1; sy += $2; n++}
            END {if (n) printf "%d %d\n", x0 + sx / n + 0.5, y0 + sy / n + 0.5; else print "none"}'
}

# Whether two centres "x y" lie within d pixels of each other
e2e_near() {
    echo "$1 $2 $3" | awk '$1 == "none" || $3 == "none" {exit 1}
        {exit (($1 - $3) ^ 2 + ($2 - $4) ^ 2 <= $5 ^ 2) ? 0 : 1}'
}

# The program's own output holds no sanitizer report and no failed assertion
e2e_log_clean() {
    local log="$E2E_OUT/program.log"
    if grep -qE "ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|SUMMARY: [A-Za-z]*Sanitizer|Assertion failed" "$log"; then
        e2e_fail "the program reported a fault:"
        head -20 "$log" >&2
        return 1
    fi
    return 0
}

# Waits for the editor (after the title splash) until its mode panel shows its chosen item,
# "Draw and Pose", in gray; the last screenshot is left as NAME
e2e_wait_for_editor() {
    local name="${1:-editor}"
    for _ in $(seq 60); do
        e2e_shot "$name"
        case "$(e2e_pixel "$name" 14 54)" in 127,127,127 | 128,128,128) return 0 ;; esac
        sleep 0.5
    done
    e2e_fail "the editor never showed"
    return 1
}

e2e_expect_eq() {  # what got want
    if [ "$2" != "$3" ]; then e2e_fail "$1: got '$2', want '$3'"; else echo "ok: $1"; fi
}
e2e_expect_ge() {  # what got min
    if [ "$2" -lt "$3" ]; then e2e_fail "$1: got $2, want at least $3"; else echo "ok: $1 ($2)"; fi
}

e2e_expect_near() { # what got want percent
    if [ $((100 * ($2 - $3))) -gt $(($4 * $3)) ] || [ $((100 * ($3 - $2))) -gt $(($4 * $3)) ]; then
        e2e_fail "$1: got $2, want $3 within $4%"
    else
        echo "ok: $1 ($2, want $3)"
    fi
}

# Ends the test: prints the closing tally and the exit code
e2e_finish() {
    e2e_stop
    e2e_log_clean || true
    if [ "$E2E_FAILS" -eq 0 ]; then echo "e2e passed"; exit 0; fi
    echo "e2e failed: $E2E_FAILS check(s)"
    exit 1
}
