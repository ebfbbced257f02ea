#!/usr/bin/env bash
# Runs the program's shell and applet in a real window for about 10 s (under its own Xvfb
# when no display is set) and prints ticks per second and CPU use of one core.
# Target: 29-30 ticks/s at no more than 10% of one core, at any uptime.
#
# Usage: bash scripts/bench_idle.sh [seconds] [uptime-hours]
#   uptime-hours: the program clock starts as if the program had been up that long (0)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
uptime_hours="${2:-0}"
bash scripts/deps.sh libpng-dev libgif-dev libwebp-dev zlib1g-dev pkg-config libegl-dev libegl-mesa0 g++ cmake make freeglut3-dev libx11-dev libgl1-mesa-dev libgl1-mesa-dri \
  libbenchmark-dev libgtest-dev xvfb x11-utils
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELKO_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target velko_idle_bench >/dev/null
source scripts/xdisplay.sh
./build-bench/bench/app/velko_idle_bench "$seconds" "$uptime_hours"
