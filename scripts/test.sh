#!/usr/bin/env bash
# Builds the library and runs every test on all cores. Pass a preset name (default, debug, asan)
# to choose. Prints the build's progress, then ctest's summary; a failing test's output in full.
# The full ctest output is in build/<preset>/ctest.log.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh
source scripts/lib/quiet_build.sh
quiet_build "$preset"
log="build/$preset/ctest.log"
echo "tests ($preset): running on $(nproc) cores; the full output is $log"
status=0
ctest --preset "$preset" -j "$(nproc)" >"$log" 2>&1 || status=$?
# The failures, each with its output (ctest printed it after the failing test's line), then the
# summary.
if ((status != 0)); then
  awk '/\*\*\*(Failed|Timeout|Exception)|Not Run|SEGFAULT|Subprocess/ { show = 1; print; next }
       /^ *Start +[0-9]+:|^ *[0-9]+\/[0-9]+ Test +#/ { show = 0 }
       show' "$log"
fi
sed -n '/tests passed/,$p' "$log"
exit "$status"
