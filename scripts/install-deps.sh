#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Idempotent: does nothing when every package is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-webengine-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev
  libopencv-imgproc-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-crosextra-carlito fonts-wine
  ca-certificates
  poppler-utils
  desktop-file-utils shared-mime-info dpkg-dev iproute2 util-linux
  appstream groff-base lintian
  qt6-translations-l10n qt6-gtk-platformtheme
  xvfb xauth x11-utils xdotool
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}; run as root or install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
