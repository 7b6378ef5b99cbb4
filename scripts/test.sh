#!/usr/bin/env bash
# Builds the library and runs every test. Pass a preset name (default, debug, asan) to choose.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
