#!/usr/bin/env bash
# Builds the document fuzzers with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) when needed and runs them on the seed corpus. There is one
# fuzzer per document consumer: tree (the plain reader walk), doll and sketch (the sketch
# doll).
# Usage: scripts/fuzz.sh [seconds] [target...]   (default 300 seconds, every target)
# The seconds are the wall time of the whole run, shared equally by the targets, which run
# VELKO_FUZZ_JOBS at a time (default 1). VELKO_FUZZ_BUILD sets the build folder (default
# build-fuzz), VELKO_FUZZ_OUT the folder of new inputs and crash artifacts (default fuzz-out).
# Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tree doll sketch)
jobs="${VELKO_FUZZ_JOBS:-1}"
build="${VELKO_FUZZ_BUILD:-build-fuzz}"
out="${VELKO_FUZZ_OUT:-fuzz-out}"
fuzz_src=tests/storage/fuzz

for t in "${targets[@]}"; do
  case "$t" in
    tree | doll | sketch) ;;
    *)
      echo "fuzz.sh: unknown target $t (tree, doll or sketch)" >&2
      exit 2
      ;;
  esac
done

bash scripts/deps.sh libpng-dev libgif-dev libwebp-dev zlib1g-dev pkg-config libegl-dev libegl-mesa0 clang libclang-rt-14-dev cmake make freeglut3-dev libx11-dev libgl1-mesa-dev \
  libglu1-mesa-dev

mkdir -p "$build" "$out/crashes"
log="$build/build.log"
if ! { cmake -S "$fuzz_src" -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$build" -j"$(nproc)" --target tbf_fuzz; } >"$log" 2>&1; then
  cat "$log"
  echo "fuzz.sh: building the fuzzers failed" >&2
  exit 1
fi

# A use after free is caught within one input, which allocates far less than the 16 MB
# quarantine; the default 256 MB only spreads the allocations over more memory
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:quarantine_size_mb=16}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Every target gets the same share of the wall time
rounds=$(((${#targets[@]} + jobs - 1) / jobs))
each=$((seconds / rounds))
[ "$each" -ge 1 ] || each=1

run_target() {
  local t="$1"
  mkdir -p "$out/corpus-$t"
  rm -f "$out/$t.rc"
  local rc=0
  # New inputs go to $out/corpus-<target>; the committed seeds are only read
  "$build/tbf_fuzz_$t" -max_total_time="$each" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -dict="$fuzz_src/tbf.dict" -artifact_prefix="$out/crashes/$t-" \
    -print_final_stats=1 "$out/corpus-$t" "$fuzz_src/corpus" >"$out/$t.log" 2>&1 || rc=$?
  echo "$rc" >"$out/$t.rc"
}

status=0
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_target "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || true
  running=$((running - 1))
done

for t in "${targets[@]}"; do
  if [ "$(cat "$out/$t.rc" 2>/dev/null)" = 0 ]; then
    echo "$t: $(grep '^Done ' "$out/$t.log"), $(grep 'average_exec_per_sec' "$out/$t.log" |
      awk '{print $2}') exec/s"
  else
    cat "$out/$t.log"
    echo "fuzz.sh: the $t fuzzer found a fault; its input is in $out/crashes/" >&2
    status=1
  fi
done
exit "$status"
