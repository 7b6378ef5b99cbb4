#!/usr/bin/env bash
# Prints which module includes which (library headers, sources and tests) and fails when a module
# includes one above it. Modules, bottom to top, are listed in `order` below.
set -euo pipefail
cd "$(dirname "$0")/.."

order=(core linear list tree elements debug catalogue dispatch capi)
rank() {
  local i
  for i in "${!order[@]}"; do [[ "${order[$i]}" == "$1" ]] && { echo "$i"; return; }; done
  echo -1
}

status=0
for module in "${order[@]}"; do
  dirs=()
  for d in "include/velmira/$module" "src/$module" "tests/$module"; do [[ -d $d ]] && dirs+=("$d"); done
  [[ ${#dirs[@]} -eq 0 ]] && continue
  # Both spellings of a library include: "velmira/<module>/..." and the sources' "<module>/...".
  used=$(grep -rhoE '#\s*include\s+[<"](velmira/)?[a-z_]+/' "${dirs[@]}" |
         sed -E 's/.*[<"](velmira\/)?([a-z_]+)\/$/\2/' | sort -u)
  below=()
  for other in $used; do
    r=$(rank "$other")
    [[ $r -lt 0 || $other == "$module" ]] && continue
    below+=("$other")
    if [[ $r -gt $(rank "$module") ]]; then
      echo "upward include: $module includes $other:" >&2
      grep -rnE "#\s*include\s+[<\"](velmira/)?$other/" "${dirs[@]}" >&2
      status=1
    fi
  done
  echo "$module: ${below[*]:-(nothing)}"
done
exit $status
