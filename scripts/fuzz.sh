#!/usr/bin/env bash
# Builds the document fuzzer with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) when needed and runs it on the seed corpus.
# Usage: scripts/fuzz.sh [seconds]   (default 300)
# VELKO_FUZZ_BUILD sets the build folder (default build-fuzz), VELKO_FUZZ_OUT the folder of
# new inputs and crash artifacts (default fuzz-out). Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
build="${VELKO_FUZZ_BUILD:-build-fuzz}"
out="${VELKO_FUZZ_OUT:-fuzz-out}"
fuzz_src=tests/storage/fuzz

bash scripts/deps.sh clang libclang-rt-14-dev cmake make freeglut3-dev libx11-dev libgl1-mesa-dev \
  libglu1-mesa-dev

mkdir -p "$build" "$out/corpus" "$out/crashes"
log="$build/build.log"
if ! { cmake -S "$fuzz_src" -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$build" -j"$(nproc)" --target tbf_fuzz; } >"$log" 2>&1; then
  cat "$log"
  echo "fuzz.sh: building the fuzzer failed" >&2
  exit 1
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# New inputs go to $out/corpus; the committed seeds are only read
exec "$build/tbf_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=2048 -dict="$fuzz_src/tbf.dict" -artifact_prefix="$out/crashes/" \
  -print_final_stats=1 "$out/corpus" "$fuzz_src/corpus"
