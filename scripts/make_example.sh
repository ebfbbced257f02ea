#!/usr/bin/env bash
# Draws the example doll with the program itself, as a person would with the mouse and the
# keyboard, and saves it through the program's own Save As dialog to examples/juggler.velko.
# Needs an X display (starts a private Xvfb when DISPLAY is unset), xdotool and zenity.
#
# The program saves beside the example under a hidden name, and only a whole document then
# replaces the example; when any step fails or times out the script says so, exits 1 and
# leaves the example as it was.
#
# Usage: bash scripts/make_example.sh [PROGRAM]
set -euo pipefail
cd "$(dirname "$0")/.."
prog="${1:-build-release/app/velko}"
out="$PWD/examples/juggler.velko"
new="$PWD/examples/.juggler-new.velko"
source scripts/xdisplay.sh
mkdir -p examples
rm -f "$new"
# A state folder of its own: no restore question from a person's earlier work gets in the
# way, and nothing is left among their recovery copies
export XDG_STATE_HOME="$(mktemp -d)"

"$prog" &
pid=$!
trap 'kill $pid 2>/dev/null || true; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$XDG_STATE_HOME" "$new"' EXIT
fail() {
    echo "make_example.sh: $1; examples/juggler.velko is left as it was" >&2
    exit 1
}
win=""
for _ in $(seq 100); do
    win=$(xdotool search --name "Velko" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || fail "the program's window did not appear"
xdotool windowfocus --sync "$win"
at() { xdotool mousemove --window "$win" "$1" "$2"; sleep "${3:-0.05}"; }
click() { at "$1" "$2"; xdotool click 1; sleep 0.3; }
# A stroke through the points given as x,y pairs, with steps of a few pixels between them
# so that the program sees the pointer travel
stroke() {
    local x0=${1%,*} y0=${1#*,} p x y i n
    at "$x0" "$y0" 0.05
    xdotool mousedown 1
    sleep 0.08
    for p in "${@:2}"; do
        x=${p%,*} y=${p#*,}
        n=$(((${x#-} - x0 < 0 ? x0 - x : x - x0) + (y - y0 < 0 ? y0 - y : y - y0)))
        n=$((n / 6 + 1))
        for i in $(seq 1 $n); do at $((x0 + (x - x0) * i / n)) $((y0 + (y - y0) * i / n)) 0.035; done
        x0=$x y0=$y
    done
    sleep 0.1
    xdotool mouseup 1
    sleep 0.6 # no double click with the next stroke
}
# A drag of a joint in a few steps
pull() {
    at "$1" "$2" 0.1
    xdotool mousedown 1
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do at $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10)) 0.05; done
    sleep 0.3
    xdotool mouseup 1
    sleep 0.6
}

click 500 300 # hurries the title
sleep 9
click 40 40 # "Draw": a press on a joint draws too

# A line along a bone as two strokes from near the bone's middle, so that both halves are
# bound to that bone (a stroke belongs to the bone nearest its first point). The second
# starts a little towards its own end: a press on a line selects the line instead.
along() { # mid end-a end-b, each x,y
    local mx=${1%,*} my=${1#*,} ax=${2%,*} ay=${2#*,} bx=${3%,*} by=${3#*,}
    stroke "$1" $(((mx + ax) / 2)),$(((my + ay) / 2)) "$2"
    stroke $(((3 * mx + bx) / 4)),$(((3 * my + by) / 4)) "$1" $(((mx + bx) / 2)),$(((my + by) / 2)) "$3"
}

# The head: a round face on the neck bone, with two eyes and a smile
stroke 320,94 302,88 292,74 292,58 302,44 320,38 338,44 348,58 348,74 338,88 321,94
stroke 310,58 311,62
stroke 330,58 331,62
stroke 308,76 314,82 320,84 326,82 332,76
# The body: a jacket down the spine, arms and legs as double lines
along 305,185 304,140 300,228
along 335,185 336,140 340,228
along 270,160 300,146 232,176
along 370,160 340,146 408,176
along 213,232 214,190 214,276
along 227,232 226,190 226,276
along 413,232 414,190 414,276
along 427,232 426,190 426,276
along 289,282 307,244 276,324
along 351,282 333,244 364,324
along 263,382 264,342 262,432
along 277,382 276,342 278,432
along 363,382 364,342 362,432
along 377,382 376,342 378,432
# A mask: the jacket's white front, drawn over the spine so the lines behind it are hidden
xdotool key ctrl+m
sleep 0.3
stroke 312,200 306,150 320,142 334,150 338,185 334,222 306,222 302,205
xdotool key ctrl+m
sleep 0.3
# Buttons on the jacket, drawn after the mask
stroke 320,170 321,174
stroke 320,196 321,200

# The icon moves up beside the head and shows another emotion
click 40 60 # "Draw and Pose"
pull 35 445 185 45
click 185 45
click 245 105
sleep 0.5

# Poses, posed in "Pose", where a press anywhere takes the nearest joint: 5 (top left,
# recorded from the start) at rest, 6 juggling with the right hand up, 7 with the left hand
# up, 8 kicking
click 40 80
click 645 155
sleep 1
pull 420 282 480 160
click 645 255
sleep 1
pull 480 160 420 282
pull 220 282 160 160
click 645 355
sleep 1
pull 160 160 220 282
pull 370 432 450 390
# Back to the first pose, at rest, then saved
click 645 55
sleep 5
click 40 60
at 560 460 0.5

xdotool key ctrl+shift+s
dlg=""
for _ in $(seq 100); do
    dlg=$(xdotool search --onlyvisible --name "^Save As$" 2>/dev/null | head -1) && [ -n "$dlg" ] && break
    sleep 0.1
done
[ -n "$dlg" ] || fail "no Save As dialog appeared within 10 s"
sleep 0.5
xdotool windowfocus --sync "$dlg"
xdotool key ctrl+a
xdotool type --delay 20 "$new"
xdotool key Return
for _ in $(seq 100); do
    [ -s "$new" ] && ! xdotool search --onlyvisible --name "^Save As$" >/dev/null 2>&1 && break
    sleep 0.1
done
[ -s "$new" ] || fail "the program wrote no document within 10 s"
xdotool windowfocus --sync "$win"
sleep 0.3
import -window "$win" "${EXAMPLE_SHOT:-/dev/null}" 2>/dev/null || true
xdotool key ctrl+q
# Should the doll still have been settling, the question about changes is answered Save
sleep 1
if q=$(xdotool search --onlyvisible --name "^Quit$" 2>/dev/null | head -1) && [ -n "$q" ]; then
    echo "the doll changed after saving; saving again" >&2
    xdotool windowfocus --sync "$q"
    xdotool key Return
fi
for _ in $(seq 300); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
kill -0 $pid 2>/dev/null && fail "the program did not end within 30 s of Ctrl+Q"
wait $pid || fail "the program ended with status $?"
mv -f "$new" "$out"
echo "wrote $out"
