#!/usr/bin/env bash
# The sharded word count of docs/words.md, run on this machine: a generated text split between
# lines into shards, each shard counted into a count table by GNU parallel (two jobs at a time,
# no ssh), the tables merged in shard order, and the merge checked byte for byte against one run
# over the whole text: --top with tied counts, and the full listing.
#
#   scripts/words_parallel.sh [--words PATH] [--bytes N] [--shards N] [--top N]
#
# Without --words it builds velmira-words with the default preset. Exits 77 (skipped) when GNU
# parallel is missing: VELMIRA_WITH_PARALLEL=1 scripts/setup.sh installs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
words="" bytes=20000000 shards=4 top=1000
while [[ $# -gt 0 ]]; do
  case $1 in
    --words) words=$2 ;;
    --bytes) bytes=$2 ;;
    --shards) shards=$2 ;;
    --top) top=$2 ;;
    *) echo "usage: $0 [--words PATH] [--bytes N] [--shards N] [--top N]" >&2; exit 2 ;;
  esac
  shift 2
done

# moreutils installs another program called parallel; only GNU parallel runs this recipe.
if ! parallel --version 2>/dev/null | grep -q '^GNU parallel'; then
  echo "skipped: GNU parallel is not installed (VELMIRA_WITH_PARALLEL=1 scripts/setup.sh)"
  exit 77
fi
if [[ -z $words ]]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target velmira_words >/dev/null
  words=$root/build/default/tools/words/velmira-words
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
python3 "$root/scripts/make_text.py" --bytes "$bytes" --vocabulary $((bytes / 200 + 1000)) > all.txt
printf 'a line with \xff\xfe, bytes that are not UTF-8\n' >> all.txt
# Split between lines, so that no shard ends inside a word; the suffixes keep the shards' order.
split -n "l/$shards" -d -a 3 all.txt shard.

# The recipe: count each shard in parallel, then merge the tables in shard order.
count="$(printf '%q' "$words") --format counts {} > {}.counts"
parallel -j2 --halt now,fail=1 "$count" ::: shard.???
failures=0
check() {  # check <what> <args...>: the merge prints what one run over all.txt prints
  local what=$1
  shift
  "$words" "$@" all.txt > one.out 2> one.err
  "$words" --merge "$@" shard.???.counts > merged.out 2> merged.err
  if cmp -s one.out merged.out && cmp -s one.err merged.err; then
    echo "same as one run: $what ($(wc -l < one.out) lines)"
  else
    echo "FAIL: $what: the merge of $shards shards differs from one run" >&2
    failures=$((failures + 1))
  fi
}
check "--top $top" --top "$top"
# Without equal counts in the top list, it would show nothing about how ties are ordered.
tied=$(awk '{print $1}' one.out | uniq -d | wc -l)
echo "counts shared by several words in the top $top: $tied"
[[ $tied -gt 0 ]] || { echo "FAIL: no tied counts in the top $top" >&2; failures=$((failures + 1)); }
check "full listing" --format tsv
[[ $failures -eq 0 ]] || exit 1
echo "$shards shards of $(wc -c < all.txt) bytes, counted by GNU parallel and merged: all checks passed"
