#!/usr/bin/env bash
# Soak run: builds the program with AddressSanitizer and UndefinedBehaviorSanitizer, starts
# it under X (its own Xvfb when no display is set), sends it random input events all over
# the window with xdotool, then checks that it is still alive and answering and that its
# stderr holds no sanitizer report and no failed assertion.
#
# Usage: scripts/soak.sh [EVENTS] [SEED]   (default 10000 events, a random seed)
# Screenshots, the program's output and the event script land in
# build-asan/tests/e2e/e2e-shots/soak/ (SOAK_BUILD names another build folder).
set -euo pipefail
cd "$(dirname "$0")/.."
events="${1:-10000}"
seed="${2:-$RANDOM}"
bash scripts/deps.sh libpng-dev libgif-dev libwebp-dev zlib1g-dev pkg-config libegl-dev libegl-mesa0 g++ cmake make freeglut3-dev libx11-dev libgl1-mesa-dev libglu1-mesa-dev \
  libgl1-mesa-dri libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool \
  imagemagick x11-utils
build="${SOAK_BUILD:-build-asan}"  # the build folder, as scripts/test.sh makes it
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKO_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target velko

source scripts/xdisplay.sh

export E2E_OUT="$PWD/$build/tests/e2e/e2e-shots/soak"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
start=$SECONDS
status=0
bash tests/e2e/soak_test.sh "$PWD/$build/app/velko" "$events" "$seed" || status=$?
echo "soak: $((SECONDS - start)) s in all; output in $E2E_OUT"
exit $status
