#!/usr/bin/env bash
# Builds the program and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

# The web tabs' browser engine cannot use its sandbox when the program runs as root.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

cmake --preset release
cmake --build --preset release -j "$(nproc)"
exec ./build/release/app/liskoprinter "$@"
