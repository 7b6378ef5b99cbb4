#!/usr/bin/env bash
# The Python package installed exactly as the README says, into a fresh virtual environment, then
# imported from another folder with no environment variables and given a small job: a Stack
# pushes and pops a StackNode, and nothing of the library outlives the objects. Then the README's
# Python example runs there as it is written.
#
#   scripts/python_venv_check.sh [python]      # the interpreter for the venv; /usr/bin/python3
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
python="${1:-/usr/bin/python3}"
# The README's install line, taken from the README itself so that the two cannot drift apart.
command=$(sed -n 's/^\(python3 -m pip install [^#]*[^# ]\).*$/\1/p' README.md | head -n 1)
if [[ -z $command ]]; then
  echo "python_venv_check: README.md has no 'python3 -m pip install' line"
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$python" -m venv "$work/venv"
# shellcheck disable=SC1091
source "$work/venv/bin/activate"
echo "python_venv_check: in a fresh venv ($(python3 --version)): $command"
start=$SECONDS
if ! eval "$command" >"$work/pip.log" 2>&1; then
  echo "python_venv_check: FAILED; the end of pip's output:"
  tail -n 40 "$work/pip.log"
  exit 1
fi
grep -E '^Successfully installed' "$work/pip.log" || true
echo "python_venv_check: installed in $((SECONDS - start)) s; importing from $work"
cd "$work"
env -u PYTHONPATH -u LD_LIBRARY_PATH python3 - <<'PYTHON'
import sys

import velmira

assert velmira.__file__.startswith(sys.prefix), velmira.__file__
stack, node = velmira.CreateObject("Velmira.Stack"), velmira.CreateObject("Velmira.StackNode")
stack.Push(node)
assert stack.Top is node and stack.Pop() is node and stack.IsEmpty
del stack, node
assert velmira.CanUnloadNow()
print(f"python_venv_check: ok, velmira imported from {velmira.__file__}")
PYTHON
# The README's first Python block.
awk '/^```python$/ { on = 1; next } on && /^```$/ { exit } on' "$OLDPWD/README.md" \
  >"$work/readme_example.py"
echo "python_venv_check: the README's example ($(wc -l <"$work/readme_example.py") lines) prints:"
env -u PYTHONPATH -u LD_LIBRARY_PATH python3 "$work/readme_example.py"
