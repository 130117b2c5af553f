#!/usr/bin/env bash
# Installs what bidsift needs (Debian packages, a virtual environment with
# the Python build and test tools) and builds and installs the module into
# that environment. Safe to run again: it only does what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

DEBIAN_PACKAGES=(pkg-config libpcre2-dev libicu-dev libgtest-dev libbenchmark-dev)
PYTHON_PACKAGES=(scikit-build-core cmake ninja pytest hypothesis)
VENV=${BIDSIFT_VENV:-.venv}
PYTHON=${PYTHON:-python3}

missing=()
for p in "${DEBIAN_PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# The compiler and venv may come from elsewhere (pyenv, a toolchain image);
# ask Debian for them only when they are not there at all.
command -v g++ >/dev/null 2>&1 || missing+=(g++)
"$PYTHON" -c 'import venv, ensurepip' >/dev/null 2>&1 || missing+=(python3-venv)
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "installing Debian packages: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if [ ! -x "$VENV/bin/python" ]; then
  "$PYTHON" -m venv "$VENV"
fi
"$VENV/bin/python" -m pip install -q --upgrade pip >/dev/null
"$VENV/bin/python" -m pip install -q "${PYTHON_PACKAGES[@]}"
"$VENV/bin/python" -m pip install -q --no-build-isolation .
