#!/usr/bin/env bash
# Installs what the tests need, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite. Starts its own Xvfb display
# when none is set.
#
# With --release as the first argument it instead builds the Release configuration people
# run (no sanitizers, in build-release-tests/) and runs every test but the end-to-end ones
# there. Further arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=sanitize
if [ "${1:-}" = "--release" ]; then
  mode=release
  shift
fi
bash scripts/deps.sh libpng-dev libgif-dev libwebp-dev zlib1g-dev pkg-config libegl-dev libegl-mesa0 g++ cmake make freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libx11-dev \
  zenity libgl1-mesa-dri libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool imagemagick \
  x11-utils clang libclang-rt-14-dev ffmpeg webp pngcheck librsvg2-bin python3 chromium chromium-driver \
  desktop-file-utils groff dpkg-dev libxml2-utils file shared-mime-info
if [ "$mode" = release ]; then
  build=build-release-tests
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELKO_SANITIZE=OFF \
    -DVELKO_BUILD_BENCH=OFF >/dev/null
  set -- -E '^e2e_' "$@"
else
  build=build-asan
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKO_SANITIZE=ON >/dev/null
fi
cmake --build "$build" -j"$(nproc)"

source scripts/xdisplay.sh

if [ "$mode" = sanitize ]; then
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
fi
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
