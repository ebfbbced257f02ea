#!/usr/bin/env bash
# Installs what the program needs, builds it (release) and starts it. An argument is the
# document to open, relative to the folder the script is run from:
# bash scripts/run.sh [DOCUMENT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" libpng-dev libgif-dev libegl-dev libegl-mesa0 g++ cmake make freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libx11-dev \
  zenity
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DVELKO_BUILD_TESTS=OFF \
  -DVELKO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-release" -j"$(nproc)" --target velko velko-render
# The caller's working folder is kept, so a relative document name means what it says
exec "$root/build-release/app/velko" "$@"
