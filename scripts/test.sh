#!/usr/bin/env bash
# Runs every test: the C++ suites (GoogleTest through ctest) and the Python
# suite (pytest). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
VENV=${BIDSIFT_VENV:-.venv}
export PATH="$PWD/$VENV/bin:$PATH"

cmake -S . -B build/tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBIDSIFT_TESTS=ON \
  -DBIDSIFT_PYTHON=OFF >/dev/null
cmake --build build/tests
ctest --test-dir build/tests --output-on-failure -j "$(nproc)"

"$VENV/bin/python" -m pytest -q tests
