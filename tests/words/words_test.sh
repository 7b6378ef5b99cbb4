#!/usr/bin/env bash
# Tests of velmira-words as a user runs it. Usage: words_test.sh <velmira-words> <group>
# Groups: output (hand-checked results), errors (message and exit code of each bad input),
# json (the JSON output parsed back), stream (chunk boundaries and invalid UTF-8), merge (count
# tables of shards merged, against one run over the whole text), tables (each bad count table
# with its message and exit code).
set -uo pipefail
words=$1
group=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect_output <expected text> <args...>: stdout must equal the text and the exit code be 0.
expect_output() {
  local expected=$1; shift
  local got; got=$("$words" "$@" 2>"$tmp/err"); local rc=$?
  [[ $rc -eq 0 ]] || fail "$* exited $rc: $(cat "$tmp/err")"
  [[ "$got" == "$expected" ]] || fail "$*: got"$'\n'"$got"$'\n'"expected"$'\n'"$expected"
}

case $group in
output)
  expect_output "$(cat "$here/small.expected")" "$here/small.txt"
  expect_output "$(cat "$here/small.expected")" < "$here/small.txt"
  # Equal counts come out in first-seen order: the before über, fox before den.
  expect_output $'      3 the\n      3 über\n      2 fox' --top 3 "$here/small.txt"
  expect_output $'den\t2\nfox\t2' --case-sensitive --min-count 2 --format tsv "$here/small.txt"
  expect_output $'      2 b\n      2 a' --top=2 - <<< "b a c b a c d"
  expect_output $'the\t6' --top 1 --format tsv "$here/small.txt" "$here/small.txt"
  expect_output "" --top 0 "$here/small.txt"
  "$words" --version | grep -qE '^velmira-words [0-9]+\.[0-9]+\.[0-9]+$' || fail "--version"
  "$words" --help | grep -q -- '--min-count' || fail "--help"
  "$words" --profile --log "$tmp/log" "$here/small.txt" > /dev/null 2> "$tmp/err"
  for section in Reading Splitting Indexing Output; do
    grep -q "^  $section: [0-9]* calls, " "$tmp/err" || fail "--profile: no $section line"
    grep -q "^  $section: [0-9]* calls, " "$tmp/log" || fail "--log: no $section line"
  done
  grep -q "^Totals: 21 words, 14 distinct, 0 invalid UTF-8 bytes" "$tmp/err" || fail "totals line"
  # A profile report that cannot be written fails the run; the listing already written stays whole.
  got=$("$words" --profile "$here/small.txt" 2>/dev/full); rc=$?
  [[ $rc -eq 1 ]] || fail "--profile 2>/dev/full exited $rc, expected 1"
  [[ "$got" == "$(cat "$here/small.expected")" ]] || fail "--profile 2>/dev/full: listing cut short"
  ;;
errors)
  mkdir "$tmp/dir"
  # args | exit code | the message on stderr
  while IFS='|' read -r args code message; do
    eval "set -- $args"
    "$words" "$@" > "$tmp/out" 2> "$tmp/err" < /dev/null; rc=$?
    [[ $rc -eq $code ]] || fail "$args: exit $rc, expected $code"
    grep -qF -- "$message" "$tmp/err" || fail "$args: stderr '$(cat "$tmp/err")' lacks '$message'"
    [[ ! -s $tmp/out ]] || fail "$args: wrote to stdout"
  done <<TABLE
"$tmp/missing.txt"|4|velmira-words: no such file: '$tmp/missing.txt'
"$here/small.txt" "$tmp/missing.txt"|4|no such file: '$tmp/missing.txt'
"$tmp/dir"|6|velmira-words: '$tmp/dir' is a directory
/proc/self/mem|5|velmira-words: cannot read '/proc/self/mem': Input/output error
--frobnicate|2|velmira-words: unknown option '--frobnicate'
--top|2|velmira-words: --top needs a value
--format xml|2|velmira-words: --format must be text, tsv, json or counts, not 'xml'
--profile=yes|2|velmira-words: --profile takes no value
--top ten|3|velmira-words: --top needs a whole number from 0 to 2147483647, not 'ten'
--top -1|3|--top needs a whole number from 0 to 2147483647, not '-1'
--top 2147483648|3|not '2147483648'
--min-count 1x|3|velmira-words: --min-count needs a whole number
--log "$tmp/dir/no/such/log"|7|velmira-words: cannot open log file '$tmp/dir/no/such/log'
--log /dev/full "$here/small.txt"|7|velmira-words: cannot write to log file '/dev/full': Disk full
--format counts --top 3|2|velmira-words: --format counts lists every word: it takes no --top or --min-count
TABLE
  ;;
json)
  "$words" --format json --top 5 "$here/small.txt" > "$tmp/top.json" || fail "json exit"
  "$words" --format json < /dev/null > "$tmp/empty.json" || fail "json exit (empty)"
  printf 'a "\xff b\n' | "$words" --format json > "$tmp/bad.json" 2>/dev/null || fail "json exit (bad)"
  python3 - "$tmp" <<'PY' || fail "json contents"
import json, sys
d = sys.argv[1]
top = json.load(open(d + "/top.json", encoding="utf-8"))
assert (top["words"], top["distinct"], top["invalid_utf8_bytes"]) == (21, 14, 0), top
assert [(e["word"], e["count"]) for e in top["entries"]] == [
    ("the", 3), ("über", 3), ("fox", 2), ("den", 2), ("σοφία", 2)], top["entries"]
assert json.load(open(d + "/empty.json")) == {
    "words": 0, "distinct": 0, "invalid_utf8_bytes": 0, "entries": []}
bad = json.load(open(d + "/bad.json"))
assert bad["invalid_utf8_bytes"] == 1 and [e["word"] for e in bad["entries"]] == ["a", "b"], bad
PY
  ;;
stream)
  # A two-byte letter and a word across the 1 MiB read boundary, and each kind of bad byte.
  python3 -c 'import sys; sys.stdout.buffer.write(b"x" * (2**20 - 1) + "é".encode() + b"nd z")' \
    > "$tmp/straddle.txt"
  got=$("$words" --format tsv "$tmp/straddle.txt" | cut -c1-3,1048576- | tr '\t' ' ')
  [[ "$got" == $'xxxénd 1\nz 1' ]] || fail "straddle: $got"
  # bad bytes: 1 stray continuation; 2 overlong; 3 surrogate (ED, then two strays);
  # 4 above U+10FFFF (F4, then three strays); 2 of a sequence cut short by the end: 12
  printf 'a\x80b \xc0\xafc \xed\xa0\x80d \xf4\x90\x80\x80e f\xe2\x82' > "$tmp/bad.txt"
  got=$("$words" --format tsv "$tmp/bad.txt" 2> "$tmp/err" | tr '\n\t' ' :')
  [[ "$got" == "a:1 b:1 c:1 d:1 e:1 f:1 " ]] || fail "invalid UTF-8 words: $got"
  grep -qx "velmira-words: 12 bytes of invalid UTF-8 were read as separators" "$tmp/err" ||
    fail "invalid UTF-8 count: $(cat "$tmp/err")"
  ;;
merge)
  # A generated text with an invalid byte, split between lines into three shards; each shard's
  # count table; and ((aa ab) ac), a merged table merged again.
  python3 "$here/../../scripts/make_text.py" --bytes 200000 --vocabulary 3000 > "$tmp/all.txt"
  printf 'tail \xff end\n' >> "$tmp/all.txt"
  (cd "$tmp" && split -n l/3 all.txt part.)
  for p in "$tmp"/part.a?; do
    "$words" --format counts "$p" > "$p.counts" 2>/dev/null || fail "--format counts $p"
    "$words" --case-sensitive --format counts "$p" > "$p.cased" 2>/dev/null || fail "cased $p"
  done
  "$words" --merge --format counts "$tmp"/part.a[ab].counts > "$tmp/ab.counts" 2>/dev/null
  # same_as_one_run <args...>: merging the shards' tables, flat or as a tree, prints on standard
  # output and standard error what one run over the whole text does.
  same_as_one_run() {
    "$words" "$@" "$tmp/all.txt" > "$tmp/one" 2> "$tmp/one.err"
    for tables in "$tmp/part.aa.counts $tmp/part.ab.counts $tmp/part.ac.counts" \
                  "$tmp/ab.counts $tmp/part.ac.counts"; do
      # shellcheck disable=SC2086
      "$words" --merge "$@" $tables > "$tmp/merged" 2> "$tmp/merged.err" || fail "--merge $*"
      cmp -s "$tmp/one" "$tmp/merged" || fail "--merge $* ($tables): output differs from one run"
      cmp -s "$tmp/one.err" "$tmp/merged.err" || fail "--merge $*: stderr $(cat "$tmp/merged.err")"
    done
  }
  same_as_one_run
  same_as_one_run --top 200
  same_as_one_run --top 40 --format json --min-count 3
  same_as_one_run --format counts
  # The top 200 must hold ties, or it shows nothing about their order.
  "$words" --top 200 --format tsv "$tmp/all.txt" 2>/dev/null | cut -f2 | uniq -d | grep -q . ||
    fail "no equal counts in the top 200"
  "$words" --merge --case-sensitive --format counts "$tmp"/part.a?.cased > "$tmp/merged" 2>/dev/null
  "$words" --case-sensitive --format counts "$tmp/all.txt" 2>/dev/null | cmp -s - "$tmp/merged" ||
    fail "case-sensitive merge differs from one run"
  # Hand-checked ties: first seen b, a, c across the tables in the order given; c, a, b reversed.
  printf 'b a\n' | "$words" --format counts > "$tmp/1.counts"
  printf 'c c a b\n' | "$words" --format counts > "$tmp/2.counts"
  expect_output $'      2 b\n      2 a\n      2 c' --merge --top 3 "$tmp/1.counts" "$tmp/2.counts"
  expect_output $'      2 c\n      2 a\n      2 b' --merge --top 3 "$tmp/2.counts" "$tmp/1.counts"
  expect_output $'a\t1\nb\t1' --merge --format tsv - < "$tmp/1.counts"
  ;;
tables)
  # A good table, and one whose totals reach the largest a merge may hold.
  printf 'a b a\n' | "$words" --format counts > "$tmp/good.counts"
  printf 'velmira-words counts 1 lowercase\n9007199254740992 a\nend 1 9007199254740992 1\n' \
    > "$tmp/full.counts"
  # table content (printf format) | arguments before it | exit code | message on stderr after
  # the table's name. Nothing may reach standard output, even after a good table.
  while IFS='|' read -r content args code message; do
    # shellcheck disable=SC2059
    printf "$content" > "$tmp/t.counts"
    eval "set -- $args"
    "$words" --merge "$@" "$tmp/t.counts" > "$tmp/out" 2> "$tmp/err"; rc=$?
    [[ $rc -eq $code ]] || fail "$content: exit $rc, expected $code"
    grep -qF -- "velmira-words: '$tmp/t.counts' $message" "$tmp/err" ||
      fail "$content: stderr '$(cat "$tmp/err")' lacks '$message'"
    [[ ! -s $tmp/out ]] || fail "$content: wrote to stdout"
  done <<'TABLE'
||8|line 1: empty: not a velmira-words count table
the 1\n||8|line 1: not a velmira-words count table
velmira-words counts 2 lowercase\n2 a\nend 1 2 0\n||8|line 1: a count table of version '2'; this velmira-words reads version 1
velmira-words counts 1 case-sensitive\nend 0 0 0\n||8|line 1: the words were counted with --case-sensitive; merge with it too
velmira-words counts 1 lowercase\nend 0 0 0\n|--case-sensitive|8|line 1: the words were lowercased; merge without --case-sensitive
velmira-words counts 1 folded\nend 0 0 0\n||8|line 1: the header must end in 'lowercase' or 'case-sensitive', not 'folded'
velmira-words counts 1 lowercase\n2 a\n1 b\n|"$tmp/good.counts"|8|line 3: the table ends without its end line: it is cut short
velmira-words counts 1 lowercase\n2 a\n1 b|"$tmp/good.counts"|8|line 3: the last line has no line feed: the table is cut short
velmira-words counts 1 lowercase\n2 a\nend 1 2 0||8|line 3: the last line has no line feed: the table is cut short
velmira-words counts 1 lowercase\n2 a\n1 b\nend 2 4 0\n||8|line 4: the end line says 2 distinct words and 4 words, the table holds 2 and 3
velmira-words counts 1 lowercase\n2 a\nend 1 2\n||8|line 3: the end line must be 'end', the distinct words, the words and the invalid UTF-8 bytes
velmira-words counts 1 lowercase\n2 a\nend 1 2 0\n1 b\n||8|line 4: a line after the end line
velmira-words counts 1 lowercase\n0 a\nend 1 0 0\n||8|line 2: a count must be a whole number from 1 to 9007199254740992, not '0'
velmira-words counts 1 lowercase\n18446744073709551616 a\n||8|line 2: a count must be a whole number from 1 to 9007199254740992, not '18446744073709551616'
velmira-words counts 1 lowercase\n9007199254740993 a\n||8|line 2: a count must be a whole number from 1 to 9007199254740992, not '9007199254740993'
velmira-words counts 1 lowercase\n9007199254740992 a\n1 b\n||8|line 3: the counts add up to more than 9007199254740992 words
velmira-words counts 1 lowercase\n1 b\nend 1 1 0\n|"$tmp/full.counts"|8|line 2: with the tables before it, the counts add up to more than 9007199254740992
velmira-words counts 1 lowercase\nend 0 0 9007199254740992\n|"$tmp/full.counts"|8|line 2: with the tables before it, the invalid UTF-8 bytes add up to more than 9007199254740992
velmira-words counts 1 lowercase\n1 caf\xc3\n||8|line 2: the word is not valid UTF-8
velmira-words counts 1 lowercase\n1 two words\n||8|line 2: 'two words' is not one lowercase word
velmira-words counts 1 lowercase\n1 The\n||8|line 2: 'The' is not one lowercase word
velmira-words counts 1 lowercase\n1 \n||8|line 2: '' is not one lowercase word
velmira-words counts 1 lowercase\n1\n||8|line 2: expected a count, a space and a word, or the end line
velmira-words counts 1 lowercase\n+1 a\n||8|line 2: a count must be a whole number from 1 to 9007199254740992, not '+1'
TABLE
  ;;
*) echo "unknown group $group" >&2; exit 2 ;;
esac
[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "words $group: all passed"
