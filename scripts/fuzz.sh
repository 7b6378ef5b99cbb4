#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`) and runs each for the given number of seconds
# (default 60), starting from the committed seed corpus; prints executions and coverage.
# Skips with a message when clang is not installed. New corpus entries go to build/fuzz/corpus,
# so the committed corpus stays small.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found, skipping"
  exit 0
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
status=0
for target in ops_fuzzer variant_fuzzer c_api_fuzzer; do
  name=${target%_fuzzer}
  work="build/fuzz/corpus/$name"
  mkdir -p "$work" "build/fuzz/crashes/$name"
  log="build/fuzz/$target.log"
  echo "=== $target: $seconds s ==="
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 "build/fuzz/fuzz/$target" -max_total_time="$seconds" \
      -max_len=4096 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/crashes/$name/" "$work" "fuzz/corpus/$name" >"$log" 2>&1; then
    :
  else
    status=1
    echo "$target FAILED; the input is in build/fuzz/crashes/$name/, the log in $log"
    grep -E "mismatch|violated|ERROR" "$log" | head -5 || true
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$log" || true
  grep -E "^#[0-9]+.*(DONE|cov:)" "$log" | tail -1 || true
done
exit $status
