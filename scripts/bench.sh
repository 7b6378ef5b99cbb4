#!/usr/bin/env bash
# Runs the benchmark suite and writes docs/performance.md with its charts under docs/performance/.
#
#   scripts/bench.sh            # the full run: three repetitions, growth up to 10 million elements
#   scripts/bench.sh --quick    # a few minutes: three short repetitions, growth up to 1,000,000
#   scripts/bench.sh --table    # only the table against Boost.Intrusive, printed; no files written
#
# Builds the bench preset (Release, Boost peers when Boost's headers are installed), runs
# velmira_bench with Google Benchmark's JSON output (build/bench/results.json), and hands it to
# scripts/bench_report.py, which writes the ratio table, the growth tables and the PNG charts.
# Installs python3-matplotlib and Boost's headers from the distribution's packages when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=full
case "${1:-}" in
  --quick) mode=quick ;;
  --table) mode=table ;;
esac

# The distribution's Python, where its python3-matplotlib package installs (a python3 earlier on
# PATH, from a version manager, would not see it).
python=/usr/bin/python3
if [[ ! -x $python ]]; then python=python3; fi
# The distribution's packages this needs: matplotlib for the charts, Boost's headers for the
# Boost.Intrusive yardsticks (without them those rows stay empty).
missing=()
if ! "$python" -c 'import matplotlib' 2>/dev/null; then missing+=(python3-matplotlib); fi
if [[ ! -d /usr/include/boost/intrusive ]]; then missing+=(libboost-dev); fi
if ((${#missing[@]})); then
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  echo "Installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

cmake --preset bench >/dev/null
cmake --build build/bench -j2

results=build/bench/results.json
args=(--benchmark_out="$results" --benchmark_out_format=json)
if [[ $mode == table ]]; then
  # The table's own benchmarks, five short repetitions each, their medians.
  args+=(--benchmark_min_time=0.2 --benchmark_repetitions=5
         --benchmark_report_aggregates_only=true
         --benchmark_filter='^Growth_(Stack|List|SplayTree|Tree)_(Blocks|Sample|Boost[A-Za-z]+)(_LookUp)?/(1000|100000)$')
  note="table run (medians of five short repetitions)"
elif [[ $mode == quick ]]; then
  # Growth stops at 1,000,000 elements; everything runs briefly, three times, and the medians
  # count (one short run can catch a moment when the machine was busy with other work).
  args+=(--benchmark_min_time=0.05 --benchmark_repetitions=3
         --benchmark_report_aggregates_only=true
         --benchmark_filter='^(BM_|Bytes_|Words_|Growth_.*/(1000|10000|100000|1000000)$)')
  note="quick run (medians of three short repetitions, growth up to 1,000,000)"
else
  args+=(--benchmark_min_time=0.5 --benchmark_repetitions=3
         --benchmark_report_aggregates_only=true)
  note="full run (medians of three repetitions)"
fi
build/bench/bench/velmira_bench "${args[@]}"
if [[ $mode == table ]]; then
  "$python" scripts/bench_report.py "$results" docs --note "$note" --table
  exit 0
fi
"$python" scripts/bench_report.py "$results" docs --note "$note"
echo "Wrote docs/performance.md and docs/performance/*.png"
