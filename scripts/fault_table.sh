#!/usr/bin/env bash
# Runs test suites against each deliberate fault in tests/faults/faults.tsv and prints a table of
# which faults they catch. Each fault is one sed expression on one library source file: the
# script applies it, rebuilds only the shared library (in FAULT_LIB_BUILD, by default the first
# build directory given), runs CTest in each build directory given (the test programs load the
# library at run time and are pointed at the faulty one with LD_LIBRARY_PATH), and restores the
# file. The build directories must be built from the same library sources.
#
#   scripts/fault_table.sh build/old:before build/new:after > table.md
#   FAULT_LIB_BUILD=build/old scripts/fault_table.sh build/new:after > after.md
#
# FAULT_LIST names another fault list (for example a few lines of the usual one).
#
# Left out by default (FAULT_EXCLUDE), to keep a run to seconds: the ten-million-element chains and
# deep structures, the install, documentation and velmira-words tests, and the hour-long simulated
# profiler clock. They are slow and not aimed at these faults. A run stops at its first failure, or after 120 s (see
# run_suite).
set -uo pipefail
cd "$(dirname "$0")/.."
[[ $# -ge 1 ]] || { echo "usage: fault_table.sh <build-dir>[:title]..." >&2; exit 2; }
exclude=${FAULT_EXCLUDE:-'LongChain|Deep\.|install\.|docs\.|words\.|ProfilerClock'}
# The library is rebuilt in FAULT_LIB_BUILD, by default the first build directory given.
lib_build=${FAULT_LIB_BUILD:-${1%%:*}}
lib_dir=$(cd "$lib_build" && pwd)

# Runs CTest in build directory $1 in its own process group and prints its output. The tests carry
# a 600 s timeout of their own, so a hung test would hold a run for ten minutes: the whole group
# is stopped after 120 s instead, and the run counts as failed.
run_suite() {
  local out pid waited=0
  out=$(mktemp)
  LD_LIBRARY_PATH=$lib_dir setsid ctest --test-dir "$1" -j2 --timeout 60 -E "$exclude" \
    --stop-on-failure >"$out" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if ((++waited > 120)); then
      kill -- "-$pid" 2>/dev/null
      echo "***Timeout: the run was stopped after 120 s" >>"$out"
    fi
  done
  wait "$pid"
  local status=$?
  cat "$out"
  rm -f "$out"
  return $((status == 0 && waited <= 120 ? 0 : 1))
}

restore() { [[ -n ${backup:-} && -f $backup ]] && cp "$backup" "$file" && rm -f "$backup"; }
trap restore EXIT

header='| # | fault | file |'
rule='|---|---|---|'
for arg in "$@"; do header+=" ${arg#*:} |"; rule+='---|'; done
printf '%s\n%s\n' "$header" "$rule"
n=0
while IFS=$'\t' read -r name file expr; do
  [[ -z $name || $name == \#* ]] && continue
  n=$((n + 1))
  backup=$(mktemp)
  cp "$file" "$backup"
  sed -i -e "$expr" "$file"
  row="| $n | $name | $file |"
  if cmp -s "$file" "$backup"; then
    for _ in "$@"; do row+=" not applied |"; done
  elif ! timeout 900 cmake --build "$lib_build" --target velmira >/dev/null 2>&1; then
    for _ in "$@"; do row+=" build fails |"; done
  else
    for arg in "$@"; do
      log=$(run_suite "${arg%%:*}")
      if [[ $? -eq 0 ]]; then
        row+=" **NOT caught** |"
      else
        failed=$(grep -m1 -E '\*\*\*(Failed|Timeout|Exception)|Failed +[0-9.]+ sec' <<<"$log" |
          sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/; s/^\*\*\*Timeout:.*/run stopped after 120 s/')
        row+=" caught (${failed:-failed}) |"
      fi
    done
  fi
  restore
  backup=
  echo "$row"
done <"${FAULT_LIST:-tests/faults/faults.tsv}"
cmake --build "$lib_build" --target velmira >/dev/null 2>&1
