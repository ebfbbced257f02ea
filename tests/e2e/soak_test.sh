#!/usr/bin/env bash
# Soak: random input all over the window for a while, then the program must still be alive,
# still answer a click, and have written no sanitizer report and no failed assertion.
#
# Usage: soak_test.sh PROGRAM [EVENTS] [SEED]   (EVENTS default 1500, or $SOAK_EVENTS)
# Input events counted: pointer moves, presses, releases, clicks, double clicks and keys.
# The events are written to one xdotool command file (kept in the output folder, so a
# failing run can be replayed) and sent in a single xdotool run.
source "$(dirname "$0")/lib.sh"
events="${2:-${SOAK_EVENTS:-1500}}"
seed="${3:-${SOAK_SEED:-$RANDOM}}"
e2e_start "$1" 800x480
echo "soak: $events events, seed $seed"

# Regions a person would aim at, x0 y0 x1 y1: the mode panel, the thumbnails, the icon's
# corner, the doll, and anywhere at all but the menu button (the menu's commands open
# dialogs, which would hold the program, and Quit ends it); double clicks stay above the
# animation strip for the same reason
cmds="$E2E_OUT/soak-events.xdo"
awk -v n="$events" -v seed="$seed" -v w="$E2E_WID" '
function rnd(a, b) { return a + int(rand() * (b - a + 1)) }
function pick() {
    r = rand()
    if (r < 0.10) { x = rnd(10, 125); y = rnd(10, 112) }        # mode panel
    else if (r < 0.30) { x = rnd(598, 792); y = rnd(8, 402) }   # thumbnails
    else if (r < 0.40) { x = rnd(5, 220); y = rnd(380, 479) }   # the icon and its menu
    else if (r < 0.75) { x = rnd(150, 560); y = rnd(30, 460) }  # the doll
    else {                                                      # anywhere
        do { x = rnd(0, 799); y = rnd(0, 479) } while (x < 130 && y >= 112 && y <= 138)
    }
}
function emit(s) { print s; count++ }
function pause() { printf "sleep %.3f\n", (rand() < 0.1 ? 0.06 : 0.012) }
BEGIN {
    srand(seed)
    split("BackSpace Tab Up Down Left Right plus minus BackSpace Tab", keys, " ")
    count = 0
    while (count < n) {
        r = rand(); pick()
        if (r < 0.30) {
            emit("mousemove --window " w " " x " " y)
        } else if (r < 0.50) {
            emit("mousemove --window " w " " x " " y); emit("click 1")
        } else if (r < 0.58) {
            # never onto the animation strip, where a double click opens a dialog
            if (y > 400) y = rnd(30, 400)
            emit("mousemove --window " w " " x " " y); emit("click --repeat 2 --delay 60 1")
        } else if (r < 0.80) {
            # a drag in a few steps
            emit("mousemove --window " w " " x " " y); emit("mousedown 1")
            steps = rnd(2, 8); x1 = x; y1 = y; pick()
            for (i = 1; i <= steps; i++) {
                print "sleep 0.035"
                emit("mousemove --window " w " " int(x1 + (x - x1) * i / steps) " " int(y1 + (y - y1) * i / steps))
            }
            emit("mouseup 1")
        } else {
            emit("key --clearmodifiers " keys[rnd(1, 10)])
        }
        pause()
    }
    print "mouseup 1"
}' >"$cmds"
sent=$(grep -cE '^(mousemove|click|mousedown|mouseup|key)' "$cmds")
start=$SECONDS
xdotool "$cmds" 2>"$E2E_OUT/xdotool.log"
echo "soak: sent $((sent - 1)) events in $((SECONDS - start)) s"
sleep 0.5
e2e_shot soak-end

e2e_alive || e2e_fail "the program died during the soak"
if e2e_alive; then
    # Still answering: the first click may only close an open icon menu, the second
    # chooses "Edit Skeleton"
    e2e_click 40 100 0.3
    e2e_click 40 100 0.3
    e2e_move 560 300 0.3
    e2e_shot after-soak
    case "$(e2e_pixel after-soak 14 94)" in
    127,127,127 | 128,128,128) echo "ok: Edit Skeleton chosen after the soak" ;;
    *) e2e_fail "the mode panel did not answer: $(e2e_pixel after-soak 14 94)" ;;
    esac
fi
e2e_finish
