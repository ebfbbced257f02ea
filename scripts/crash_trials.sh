#!/usr/bin/env bash
# What a crash costs a person who is drawing: runs the real program (the release build) under
# an Xvfb display of its own, draws line after line with xdotool, kills the program with
# SIGKILL at a random moment, starts it again, restores the work through the real restore
# question, saves it and counts what came back.
#
# Usage: bash scripts/crash_trials.sh [N]     (N trials, default 10; about 25 s each)
#
# For each trial it prints the seconds of drawing lost: from the end of the last line the
# restored document holds to the kill (all the drawing when nothing came back). A document
# is damaged when the restore or the save fails, velko-render cannot draw it, or it holds a
# line that was never finished. At the end: the worst and the median loss and the number of
# damaged documents; the exit status is 1 when any document was damaged.
# Screenshots and the program's output go to build-release/crash-trials/.
set -uo pipefail
trials="${1:-10}"
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" libpng-dev libgif-dev libegl-dev libegl-mesa0 g++ cmake make freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libx11-dev \
  zenity libgl1-mesa-dri xvfb xauth xdotool x11-utils imagemagick perl
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DVELKO_BUILD_TESTS=OFF \
  -DVELKO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-release" -j"$(nproc)" --target velko velko-render >/dev/null || exit 1
velko="$root/build-release/app/velko"
render="$root/build-release/app/velko-render"

# An X display of its own, whatever DISPLAY says: the trials move the pointer
for n in $(seq 140 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  break
done
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

export E2E_OUT="$root/build-release/crash-trials"
rm -rf "$E2E_OUT"
source "$root/tests/e2e/lib.sh"
drawer=""
cleanup() {
  [ -n "$drawer" ] && kill "$drawer" 2>/dev/null
  e2e_stop
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

now() { date +%s.%N; }
# Draws vertical strokes of 40 pixels at random places of the doll's area, one after another,
# and writes the time each one ended (the button released) to the file $1. Once the program
# is killed xdotool complains about its window; that is expected, so it goes unheard.
draw_lines() {
  exec 2>/dev/null
  while :; do
    local x=$((150 + RANDOM % 410)) y=$((40 + RANDOM % 360))
    xdotool mousemove --window "$E2E_WID" "$x" "$y" mousedown 1
    for i in 1 2 3 4 5 6 7 8; do
      sleep 0.04
      xdotool mousemove --window "$E2E_WID" "$x" $((y + 5 * i))
    done
    sleep 0.05
    xdotool mouseup 1
    now >>"$1"
    sleep 0.1
  done
}

losses=()
damaged=0
for t in $(seq "$trials"); do
  dir="$E2E_OUT/trial-$t"
  mkdir -p "$dir"
  export XDG_STATE_HOME="$dir/state"
  doc="$dir/doll.velko"
  e2e_start "$velko" 800x480 "$doc"
  e2e_click 500 300 0.1
  e2e_wait_for_editor "trial-$t/started" || { damaged=$((damaged + 1)); e2e_stop; continue; }
  e2e_click 40 40 0.3 # Draw: every press draws a line
  : >"$dir/ends"
  start=$(now)
  draw_lines "$dir/ends" &
  drawer=$!
  # A random moment from 3 to 15 s into the drawing, to the millisecond
  sleep "$(awk -v r="$RANDOM" 'BEGIN {printf "%.3f", 3 + 12 * r / 32767}')"
  kill -9 "$E2E_PID"
  killed=$(now)
  { # bash would announce each job it reaps as killed
    kill "$drawer"
    wait "$drawer" "$E2E_PID"
    xdotool mouseup 1
  } 2>/dev/null
  drawer=""
  E2E_PID=""
  finished=$(awk -v k="$killed" '$1 < k' "$dir/ends" | wc -l)

  # Started again: Restore, then Ctrl+S writes the restored work to its document
  e2e_start "$velko" 800x480
  e2e_click 500 300 0.1
  restored=0
  ok=1
  if [ -n "$(e2e_dialog "^Velko$")" ]; then
    xdotool key Return
    sleep 1
    e2e_refocus
    e2e_wait_for_editor "trial-$t/restored" || ok=0
    if [ "$(xdotool getwindowname "$E2E_WID")" = "doll.velko • - Velko" ]; then
      e2e_key ctrl+s
      sleep 0.5
      restored=$(grep -c "line {" "$doc" 2>/dev/null)
      "$render" "$doc" -o "$dir/restored.png" 2>>"$E2E_OUT/program.log" || ok=0
      [ "$restored" -le "$finished" ] || ok=0
    else
      ok=0 # the copy could not be opened, or came back under another name
    fi
  elif [ -n "$(ls "$XDG_STATE_HOME"/velko/*.recovery 2>/dev/null)" ]; then
    ok=0 # a copy was left but not offered
  fi
  e2e_shot "trial-$t/end"
  e2e_stop
  if [ "$restored" -gt 0 ]; then
    last=$(sed -n "${restored}p" "$dir/ends")
  else
    last=$start
  fi
  lost=$(awk -v k="$killed" -v l="$last" 'BEGIN {printf "%.2f", k - l}')
  [ "$ok" -eq 1 ] || damaged=$((damaged + 1))
  losses+=("$lost")
  echo "trial $t: drew $finished lines, $restored came back, $lost s of drawing lost$([ "$ok" -eq 1 ] || echo ", DAMAGED")"
done

sorted=$(printf '%s\n' "${losses[@]}" | sort -g)
count=$(echo "$sorted" | grep -c .)
worst=$(echo "$sorted" | tail -1)
median=$(echo "$sorted" | awk -v n="$count" '{v[NR] = $1} END {
    if (n % 2) print v[(n + 1) / 2]; else printf "%.2f\n", (v[n / 2] + v[n / 2 + 1]) / 2}')
echo "$count trials: worst loss $worst s, median $median s, $damaged damaged document(s)"
[ "$damaged" -eq 0 ]
