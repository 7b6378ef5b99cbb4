#!/usr/bin/env bash
# Tests of velmira-words as a user runs it. Usage: words_test.sh <velmira-words> <group>
# Groups: output (hand-checked results), errors (message and exit code of each bad input),
# json (the JSON output parsed back), stream (chunk boundaries and invalid UTF-8).
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
--format xml|2|velmira-words: --format must be text, tsv or json, not 'xml'
--profile=yes|2|velmira-words: --profile takes no value
--top ten|3|velmira-words: --top needs a whole number from 0 to 2147483647, not 'ten'
--top -1|3|--top needs a whole number from 0 to 2147483647, not '-1'
--top 2147483648|3|not '2147483648'
--min-count 1x|3|velmira-words: --min-count needs a whole number
--log "$tmp/dir/no/such/log"|7|velmira-words: cannot open log file '$tmp/dir/no/such/log'
--log /dev/full "$here/small.txt"|7|velmira-words: cannot write to log file '/dev/full': Disk full
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
*) echo "unknown group $group" >&2; exit 2 ;;
esac
[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "words $group: all passed"
