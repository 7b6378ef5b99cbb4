#!/usr/bin/env bash
# Compares docs/warnings.md with the library, both ways. Usage:
#   check_warning_table.sh <trigger_warnings> <warnings.md> <library src dir>
# - every line trigger_warnings provokes matches a row of the table (<name> matches any text);
# - every row is provoked, or (the limit warnings) its text up to the first <name> is in the
#   sources;
# - every "Class: Warning, ..." literal in the sources begins some row;
# - the error numbers of the tables are exactly the library's list of errors (error_numbers.h).
set -uo pipefail
trigger=$1 table=$2 src=$3
status=0
rows=$(grep -oE '^\| [A-Za-z]+ \| `[^`]+`' "$table" | sed -E 's/^[^`]*`//; s/`$//')
provoked=$("$trigger" | sort -u)
[[ -n $provoked ]] || { echo "nothing provoked" >&2; exit 1; }
as_regex() { sed -E 's/[][\.^$*+?(){}|/]/\\&/g; s/<name>/.+/g; s/^/^/; s/$/$/' <<< "$1"; }

patterns=$(while IFS= read -r row; do as_regex "$row"; done <<< "$rows")
unlisted=$(grep -vE -f <(echo "$patterns") <<< "$provoked")
[[ -z $unlisted ]] || { echo "not in the table:"$'\n'"$unlisted" >&2; status=1; }

while IFS= read -r row; do
  grep -qE "$(as_regex "$row")" <<< "$provoked" && continue
  prefix=${row%%<name>*}
  grep -rqF -- "\"$prefix\"" "$src" || { echo "neither provoked nor in the sources: $row" >&2; status=1; }
done <<< "$rows"

while IFS= read -r literal; do
  grep -qF -- "$literal" <<< "$rows" || { echo "source text missing from the table: $literal" >&2; status=1; }
done < <(grep -rhoE '"[A-Za-z]+: Warning, [^"]+"' "$src" | sed -E 's/^"//; s/"$//' | sort -u)

table_numbers=$(grep -oE '^\| [0-9]+ \| `kErr[A-Za-z]+`' "$table" | sed -E 's/^\| ([0-9]+) \| `(kErr[A-Za-z]+)`/\2 \1/' | sort)
header_numbers=$(grep -hoE '^ *X\([A-Za-z]+, [0-9]+,' "$src/../include/velmira/core/error_numbers.h" |
  sed -E 's/^ *X\(([A-Za-z]+), ([0-9]+),/kErr\1 \2/' | sort)
[[ "$table_numbers" == "$header_numbers" ]] ||
  { echo "error table differs from the headers:"; diff <(echo "$table_numbers") <(echo "$header_numbers"); status=1; } >&2
[[ $status -eq 0 ]] && echo "warning table: $(wc -l <<< "$rows") rows, $(wc -l <<< "$provoked") provoked lines; error table: $(wc -l <<< "$table_numbers") numbers"
exit $status
