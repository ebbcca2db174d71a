#!/usr/bin/env bash
# Builds everything and runs every test: the optimised build; then raster, photo, the pages and the
# command-line tool under AddressSanitizer and UndefinedBehaviorSanitizer; then the page composer's
# two-thread rendering under ThreadSanitizer. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"
