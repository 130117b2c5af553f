#!/usr/bin/env bash
# Parses a sample product query and a sample RFQ document and prints every
# attribute of the results.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec "${BIDSIFT_VENV:-.venv}/bin/python" examples/demo.py "$@"
