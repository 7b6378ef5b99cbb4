# Sourced by the scripts that build: configures and builds a preset with the compiler's lines kept
# in build/<preset>/build.log. On a terminal one line shows the progress; elsewhere a line at each
# tenth. A failed build prints its errors (the log's lines from the first failure on).
#
#   source scripts/lib/quiet_build.sh
#   quiet_build default velmira_words     # preset, then targets (none: everything)

quiet_build() {
  local -  # the options set below are this function's own
  set +e +o pipefail
  local preset=$1
  shift
  local dir="build/$preset" targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  mkdir -p "$dir"
  local log="$dir/build.log"
  echo "build ($preset): configuring; the full log is $log"
  if ! cmake --preset "$preset" >"$log" 2>&1; then
    cat "$log"
    return 1
  fi
  local status=0 shown=-1 tty=0
  [[ -t 1 ]] && tty=1
  # Ninja's "[done/total]" lines become one progress line; everything goes to the log.
  cmake --build --preset "$preset" "${targets[@]}" 2>&1 | tee -a "$log" | {
    while IFS= read -r line; do
      [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]] || continue
      local done=${BASH_REMATCH[1]} total=${BASH_REMATCH[2]}
      local tenth=$((done * 10 / total))
      if ((tty)); then
        printf '\rbuild (%s): %d/%d steps' "$preset" "$done" "$total"
      elif ((tenth != shown)); then
        echo "build ($preset): $((tenth * 10))% ($done/$total steps)"
        shown=$tenth
      fi
    done
    ((tty)) && printf '\n'
  }
  status=${PIPESTATUS[0]}
  if ((status != 0)); then
    echo "build ($preset) FAILED; its errors:"
    sed -n '/FAILED:/,$p' "$log" | head -n 200
    return "$status"
  fi
  echo "build ($preset): done"
}
