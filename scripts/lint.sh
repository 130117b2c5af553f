#!/usr/bin/env bash
# Checks formatting and lint of every source, and the type stub against the
# built module: clang-format, clang-tidy, ruff, mypy stubtest, mypy --strict.
# Exits non-zero on any finding. `scripts/lint.sh --fix` applies clang-format
# and ruff's fixes instead of only checking.
set -euo pipefail
cd "$(dirname "$0")/.."
fix=${1:-}

missing=()
for p in clang-format clang-tidy; do command -v "$p" >/dev/null 2>&1 || missing+=("$p"); done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
VENV=${BIDSIFT_VENV:-.venv}
[ -x "$VENV/bin/python" ] || bash scripts/setup.sh
"$VENV/bin/python" -m pip install -q ruff mypy
export PATH="$PWD/$VENV/bin:$PATH"

mapfile -t cxx < <(git ls-files '*.h' '*.cc')
if [ "$fix" = "--fix" ]; then
  clang-format -i "${cxx[@]}"
  ruff check --fix .
  exit 0
fi

echo "clang-format"
clang-format --dry-run --Werror "${cxx[@]}"

echo "clang-tidy"
cmake -S . -B build/lint -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBIDSIFT_TESTS=OFF \
  -DPython_EXECUTABLE="$PWD/$VENV/bin/python" >/dev/null
mapfile -t sources < <(git ls-files 'textservices/*.cc' 'phrasekit/src/*.cc' 'tenderkit/src/*.cc' \
  'phrasekit-py/src/*.cc' | grep -v '_test\.cc$')
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p build/lint --quiet

echo "ruff"
ruff check .

echo "mypy"
python -m mypy.stubtest bidsift
mypy --strict examples/typed_usage.py
echo "lint clean"
