#!/usr/bin/env bash
# Makes the walking example with the program itself, as a person would with the mouse and
# the keyboard: the default doll's skeleton turned to a side view in "Edit Skeleton", a figure
# drawn onto its bones, four poses of a walk, and the animation arranged on the strip (a step
# removed, moves and holds dragged shorter, one step's times typed into its dialog). Saved
# through the program's own Save As dialog beside examples/walk.velko, which it replaces only
# once the program has ended cleanly; its GIF is then drawn by
# velko-render into docs/walk.gif. Needs an X display (starts a private Xvfb when DISPLAY is
# unset), xdotool and zenity.
#
# Usage: bash scripts/make_walk_example.sh [PROGRAM [RENDERER]]
set -euo pipefail
cd "$(dirname "$0")/.."
prog="${1:-build-release/app/velko}"
render="${2:-$(dirname "$prog")/velko-render}"
out="$PWD/examples/walk.velko"
new="$PWD/examples/.walk-new.velko"
source scripts/xdisplay.sh
mkdir -p examples docs
rm -f "$new"
# A state folder of its own, away from a person's recovery copies
export XDG_STATE_HOME="$(mktemp -d)"

"$prog" &
pid=$!
trap 'kill $pid 2>/dev/null || true; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$XDG_STATE_HOME" "$new"' EXIT
fail() {
    echo "make_walk_example.sh: $1; examples/walk.velko is left as it was" >&2
    exit 1
}
win=""
for _ in $(seq 100); do
    win=$(xdotool search --name "Velko" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.1
done
xdotool windowfocus --sync "$win"
at() { xdotool mousemove --window "$win" "$1" "$2"; sleep "${3:-0.05}"; }
click() { at "$1" "$2"; xdotool click 1; sleep 0.4; }
# A stroke through the points given as x,y pairs, a few pixels a step
stroke() {
    local x0=${1%,*} y0=${1#*,} p x y i n
    at "$x0" "$y0" 0.05
    xdotool mousedown 1
    sleep 0.08
    for p in "${@:2}"; do
        x=${p%,*} y=${p#*,}
        n=$(((x - x0 < 0 ? x0 - x : x - x0) + (y - y0 < 0 ? y0 - y : y - y0)))
        n=$((n / 6 + 1))
        for i in $(seq 1 $n); do at $((x0 + (x - x0) * i / n)) $((y0 + (y - y0) * i / n)) 0.035; done
        x0=$x y0=$y
    done
    sleep 0.1
    xdotool mouseup 1
    sleep 0.6 # no double click with the next stroke
}
# A drag from one point to another in ten steps
pull() {
    at "$1" "$2" 0.1
    xdotool mousedown 1
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do at $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10)) 0.05; done
    sleep 0.3
    xdotool mouseup 1
    sleep 0.7
}
# Screenshots along the way when WALK_SHOTS names a folder
shot() { if [ -n "${WALK_SHOTS:-}" ]; then import -window "$win" "$WALK_SHOTS/$1.png" 2>/dev/null || true; fi; }
# Waits for the dialog titled $1, focuses it, types $2 and presses Return; fails (status 1)
# when no such dialog shows within ten seconds
dialog() {
    local dlg=""
    for _ in $(seq 100); do
        dlg=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$dlg" ] && break
        sleep 0.1
    done
    [ -n "$dlg" ] || return 1
    sleep 0.5
    xdotool windowfocus --sync "$dlg"
    xdotool key ctrl+a
    xdotool type --delay 20 "$2"
    xdotool key Return
    sleep 1.5
    xdotool windowfocus --sync "$win"
    sleep 0.3
}

click 500 300 # hurries the title
sleep 9

# The skeleton seen from the side, facing right: arms hanging by the body (the near one a
# little back), legs under the hips. Each joint is dragged where it goes and let go at
# least a joint's radius away from the others, which moves it and re-measures its bones.
click 40 100 # "Edit Skeleton"
pull 220 182 302 185 # near elbow
pull 220 282 296 240 # near hand
pull 420 182 340 182 # far elbow
pull 420 282 346 238 # far hand
pull 270 332 302 332 # near knee
pull 270 432 298 430 # near foot
pull 370 332 336 332 # far knee
pull 370 432 334 430 # far foot

# The figure: a round head with an eye, a nose and a mouth to the right, the body, the
# limbs as lines beside their bones, two shoes. A line is drawn as two strokes from near
# the bone's middle, so both halves belong to that bone (a stroke is bound to the bone
# nearest its first point); the second starts a little towards its own end, as a press on
# a line selects the line instead, and comes back over the middle.
shot 1-side-view
click 40 40 # "Draw"
stroke 320,94 304,90 296,78 296,56 306,44 322,40 336,46 344,58 344,72 338,86 322,94
stroke 344,60 354,68 343,74
stroke 332,56 333,60
stroke 330,78 338,80
stroke 314,182 313,160 316,140
stroke 314,194 314,182 313,206 316,226
stroke 326,182 327,160 324,140
stroke 326,194 326,182 327,206 324,226
limb() { # x1 y1 x2 y2: a line 3 to the right of the bone between the two joints
    local mx=$((($1 + $3) / 2 + 3)) my=$((($2 + $4) / 2))
    stroke $mx,$my $(($1 + 3)),$2
    stroke $(((3 * mx + $3 + 3) / 4)),$(((3 * my + $4) / 4)) $mx,$my $(($3 + 3)),$4
}
limb 320 132 302 185
limb 302 185 296 240
limb 320 132 340 182
limb 340 182 346 238
limb 320 232 302 332
limb 302 332 298 430
limb 320 232 336 332
limb 336 332 334 430
stroke 300,428 316,432
stroke 336,428 352,432

# Four poses of a walk in "Pose", where a press takes the nearest joint: poses 1 and 3 with
# the legs apart (heel down in front), poses 2 and 4 passing, one knee raised
shot 2-figure
click 40 80
click 745 55 # pose 1 takes the side view, then the legs and arms go apart
pull 298 430 372 424
pull 334 430 262 424
pull 296 240 270 222
pull 346 238 378 220
click 745 155 # pose 2, passing: the front leg under the body, the back one lifted
sleep 1
pull 372 424 318 432
pull 262 424 338 394
pull 270 222 298 244
pull 378 220 344 244
click 745 255 # pose 3, the other leg in front, the arms the other way
sleep 1
pull 318 432 262 424
pull 338 394 372 424
pull 298 244 378 222
pull 344 244 270 222
click 745 355 # pose 4, passing the other way
sleep 1
pull 372 424 322 432
pull 262 424 336 394
pull 378 222 298 244
pull 270 222 344 244
shot 3-poses
# The strip shows every filled pose; the side view at rest (pose 5) goes. Then the contact
# steps get short moves and longer holds, the passing steps shorter holds and even motion.
at 350 447 0.5
xdotool key Delete
sleep 0.5
scrub() { # cell row dx: drag cell's move (row 435) or hold (row 449) by dx pixels
    local x=$((80 + 62 * $1))
    pull "$x" "$2" $((x + $3)) "$2"
}
scrub 0 435 -48 # step 1: move 0.4 s
scrub 0 449 -16 # hold 0.3 s
scrub 1 435 -52 # step 2: move 0.35 s
scrub 1 449 -36 # hold 0.05 s
click 180 420   # step 2: linear (a click on the easing curve)
scrub 2 435 -48 # step 3: move 0.4 s
scrub 2 449 -8  # hold 0.4 s
shot 4-strip
# Step 4's times typed: a double click on its cell
typed=""
for _ in 1 2 3; do
    at 260 416 0.2
    xdotool click --repeat 2 --delay 80 1
    if dialog "Step 4" "350 100 linear"; then typed=yes; break; fi
    sleep 1 # a busy machine may have split the double click in two
done
[ -n "$typed" ] || { echo "no dialog for step 4" >&2; exit 1; }

# Back to the first pose at rest, then saved
click 80 420
sleep 5
click 40 60
at 560 300 0.5
xdotool key ctrl+shift+s
dialog "^Save As$" "$new" || fail "no Save As dialog appeared within 10 s"
import -window "$win" "${EXAMPLE_SHOT:-/dev/null}" 2>/dev/null || true
xdotool key ctrl+q
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
[ -s "$new" ] || fail "the program wrote no document"
mv -f "$new" "$out"
echo "wrote $out"
"$render" "$out" --gif --size 320x192 -o docs/walk.gif
echo "wrote docs/walk.gif"
