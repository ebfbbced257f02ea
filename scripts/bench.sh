#!/usr/bin/env bash
# Builds every benchmark without sanitizers and runs them (GL ones in an X display: its own
# Xvfb when DISPLAY is unset). Each Google Benchmark program compares its cases within one
# run; pass a name filter as the first argument to run only some programs (e.g. "doll").
set -euo pipefail
cd "$(dirname "$0")/.."
filter="${1:-.}"
bash scripts/deps.sh libpng-dev libgif-dev libwebp-dev zlib1g-dev pkg-config libegl-dev libegl-mesa0 g++ cmake make freeglut3-dev libx11-dev libgl1-mesa-dev libgl1-mesa-dri \
  libbenchmark-dev libgtest-dev xvfb x11-utils
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELKO_BUILD_TESTS=OFF \
  -DVELKO_BUILD_BENCH=ON >/dev/null
benches="velko_gesture_bench storage_bench doll_motion_bench doll_document_bench
  sketch_mapping_bench editor_tick_bench render_bench"
cmake --build build-bench -j"$(nproc)" --target $benches >/dev/null

source scripts/xdisplay.sh

for b in $benches; do
  echo "$b" | grep -qE "$filter" || continue
  exe=$(find build-bench/bench -name "$b" -type f | head -n 1)
  echo "== $b"
  "$exe" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
    grep -E '_median|^Benchmark|^-' || true
done
