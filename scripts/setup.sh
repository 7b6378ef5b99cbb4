#!/usr/bin/env bash
# Installs what building and testing need, with apt-get, only where something is missing.
# Safe to run any number of times. Set VELMIRA_WITH_BOOST=1 to add Boost headers for benchmarks,
# VELMIRA_WITH_CHECKS=1 to add clang's fuzzer runtime and valgrind for the checks CI runs,
# VELMIRA_WITH_PARALLEL=1 to add GNU parallel for the sharded word count (scripts/words_parallel.sh).
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config python3 python3-dev python3-venv python3-pytest
          libgtest-dev libgmock-dev libbenchmark-dev gdb)
if [[ "${VELMIRA_WITH_BOOST:-0}" == 1 ]]; then packages+=(libboost-dev); fi
if [[ "${VELMIRA_WITH_CHECKS:-0}" == 1 ]]; then packages+=(clang libclang-rt-14-dev valgrind); fi
if [[ "${VELMIRA_WITH_PARALLEL:-0}" == 1 ]]; then packages+=(parallel); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
# apt's own lines go to a log; one line per step here.
mkdir -p build
log="build/setup.log"
step() {
  local what=$1
  shift
  echo "setup: $what"
  if ! "$@" >>"$log" 2>&1; then
    echo "setup: FAILED: $what; the end of $log:"
    tail -n 30 "$log"
    exit 1
  fi
}
echo "setup: installing ${missing[*]}; apt's full output goes to $log"
step "updating the package lists" $sudo apt-get update
step "downloading and installing ${#missing[@]} packages and what they need" \
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  "${missing[@]}"
echo "setup: done"
