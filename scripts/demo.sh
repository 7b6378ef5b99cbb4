#!/usr/bin/env bash
# Builds the library and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/lib/quiet_build.sh
quiet_build default velmira_demo
build/default/examples/velmira_demo
