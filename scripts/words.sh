#!/usr/bin/env bash
# Builds the library and velmira-words, then counts the words of the bundled sample text:
# the 20 most frequent, with the profiler's report of where the time went.
# Extra arguments replace the defaults, e.g. scripts/words.sh --format json data/sample.txt
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/lib/quiet_build.sh
quiet_build default velmira_words
if [[ $# -eq 0 ]]; then set -- --top 20 --profile data/sample.txt; fi
build/default/tools/words/velmira-words "$@"
