#!/usr/bin/env bash
# Builds everything and runs every test: the optimised build; then raster, photo, the pages and the
# command-line tool under AddressSanitizer and UndefinedBehaviorSanitizer; then the page composer's
# two-thread rendering under ThreadSanitizer; then each fuzz target for 60 seconds. Installs missing
# Debian packages first. Warnings are errors in all of them (the presets set LISKO_WERROR).
#
# The tests run with HOME and XDG_CONFIG_HOME pointing at a fresh empty directory, which must be
# empty still when they end: no test may write into the user's home or settings. Where allowed
# (root), they also run in a network namespace of their own that has nothing but loopback, so a
# test that would reach the outside world fails instead.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

test_home=$(mktemp -d)
trap 'rm -rf "$test_home"' EXIT

loopback_only=()
if unshare -n true 2>/dev/null; then
  loopback_only=(unshare -n sh -c 'ip link set lo up && exec "$@"' sh)
else
  echo "test.sh: unshare -n is not allowed here; the tests run with this machine's network" >&2
fi

run_tests() {
  HOME="$test_home" XDG_CONFIG_HOME="$test_home" "${loopback_only[@]}" ctest "$@"
}

cmake --preset dev
cmake --build --preset dev -j "$jobs"
run_tests --preset dev -j "$jobs"

cmake --preset asan
cmake --build --preset asan -j "$jobs"
run_tests --preset asan -j "$jobs"

cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
run_tests --preset tsan -j "$jobs"

if [ -n "$(ls -A "$test_home")" ]; then
  echo "test.sh: the tests wrote into their home directory:" >&2
  find "$test_home" -mindepth 1 >&2
  exit 1
fi

./fuzz/run.sh 60
