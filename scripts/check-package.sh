#!/usr/bin/env bash
# Installs the Debian package as a user's machine would: builds it as the README says, makes a
# fresh Debian 12 root with mmdebstrap from this machine's apt sources, installs the package there
# with apt (so every dependency it names must come with it), then prints the bundled sample photos
# with liskoprinter-cli and asks liskoprinter for its version inside that root; the printed PDF is
# kept as BUILD_DIR/check-package-sheets.pdf. Run as root. About 6 minutes beside the build.
#
#   scripts/check-package.sh [BUILD_DIR]     (default build/package)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/package}
./scripts/install-deps.sh
if ! command -v mmdebstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLISKO_BUILD_TESTS=OFF \
  -DLISKO_BUILD_BENCHMARKS=OFF -DLISKO_PACKAGED=ON
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/liskoprinter_*.deb
(cd "$build" && cpack -G DEB)
package=$(ls "$build"/liskoprinter_*.deb)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$package" "$work/liskoprinter.deb"
cp resources/samples/*.jpg "$work/"

# The host's enabled Debian sources, one-line or deb822, as mmdebstrap reads them from stdin.
sources=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
[ -n "$sources" ] || { echo "check-package: no apt sources on this machine" >&2; exit 1; }

# The hooks run inside the new root with /proc and /dev mounted; the root itself is not kept.
printf '%s\n' "$sources" | mmdebstrap --variant=apt --format=null \
  --customize-hook="mkdir -p \"\$1/check\"" \
  --customize-hook="copy-in $work/liskoprinter.deb $work/notes-1.jpg $work/notes-2.jpg $work/notes-3.jpg /check" \
  --customize-hook='chroot "$1" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q /check/liskoprinter.deb' \
  --customize-hook='chroot "$1" liskoprinter --version' \
  --customize-hook='chroot "$1" liskoprinter-cli --version' \
  --customize-hook='chroot "$1" sh -c "cd /check && liskoprinter-cli print notes-1.jpg notes-2.jpg notes-3.jpg -o sheets.pdf"' \
  --customize-hook="copy-out /check/sheets.pdf $work" \
  bookworm /dev/null -

pdfinfo "$work/sheets.pdf" | grep -E '^(Pages|Page size):'
cp "$work/sheets.pdf" "$build/check-package-sheets.pdf"
echo "check-package: the package installs on a fresh Debian 12 root and prints there"
