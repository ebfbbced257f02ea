#!/usr/bin/env bash
# Installs what the program needs, builds it (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh g++ cmake make freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVELKO_BUILD_TESTS=OFF \
  -DVELKO_BUILD_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target velko
exec ./build-release/app/velko
