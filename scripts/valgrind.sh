#!/usr/bin/env bash
# Runs the core tests once under valgrind (memcheck, leak check), failing on any error. Skips
# with a message when valgrind is not installed. Uses the default preset's build.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v valgrind >/dev/null; then
  echo "valgrind: not installed, skipping"
  exit 0
fi
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target velmira_core_tests
valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --quiet build/default/tests/core/velmira_core_tests --gtest_brief=1
