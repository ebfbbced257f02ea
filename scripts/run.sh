#!/usr/bin/env bash
# Installs what the program needs, builds it (release) and starts it. An argument is the
# document to open: bash scripts/run.sh [DOCUMENT]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh libpng-dev libgif-dev libwebp-dev zlib1g-dev pkg-config libegl-dev libegl-mesa0 g++ cmake make freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libx11-dev \
  zenity ffmpeg
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVELKO_BUILD_TESTS=OFF \
  -DVELKO_BUILD_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target velko velko-render
exec ./build-release/app/velko "$@"
