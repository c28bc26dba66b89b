#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer)
# in build-fuzz and runs each for a bounded time over its seed corpus and what earlier runs found:
#   scripts/fuzz.sh [seconds per target, default 60]
# A crash, a sanitizer report, a broken property or a hang fails the script; the input that did
# it is kept in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEVRIK_FUZZ=ON >/dev/null
fi
cmake --build "$dir" --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$dir/artifacts"
failed=()
start=$SECONDS
for seeds in tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  work=$dir/corpus/$target
  log=$dir/fuzz_$target.log
  mkdir -p "$work"
  if "$dir/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -print_final_stats=1 -artifact_prefix="$dir/artifacts/$target-" "$work" "$seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: ${runs:-?} inputs in ${seconds} s, no fault"
  else
    echo "fuzz_$target: FAULT (log $log)"
    grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$log" || tail -n 30 "$log"
    failed+=("$target")
  fi
done
echo "fuzzing took $((SECONDS - start)) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets with faults: ${failed[*]}" >&2
  exit 1
fi
