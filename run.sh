#!/usr/bin/env bash
# Builds the program and starts it. Installs missing Debian packages first. Without a display,
# builds the command-line tool instead and prints the bundled sample photos to sample-sheets.pdf
# in the current directory.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display found (DISPLAY and WAYLAND_DISPLAY are unset): printing the sample photos instead of starting the window"
  "$here/scripts/install-deps.sh"
  (cd "$here" && cmake --preset release && cmake --build --preset release -j "$(nproc)" --target liskoprinter-cli)
  exec "$here/scripts/print-samples.sh" "$here/build/release/cli/liskoprinter-cli"
fi

cd "$here"
./scripts/install-deps.sh

# The web tabs' browser engine cannot use its sandbox when the program runs as root.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

cmake --preset release
cmake --build --preset release -j "$(nproc)"
exec ./build/release/app/liskoprinter "$@"
