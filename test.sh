#!/usr/bin/env bash
# Builds everything and runs every test: the native tree with the host
# compiler, then the Windows tree under Wine on a private X display.
# Installs what is missing from Debian's packages first.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh

echo "== shellcheck and clang-format"
scripts/lint.sh

echo "== native build and tests"
scripts/build.sh native
(cd build/native && ctest --output-on-failure -j "$(nproc)")

echo "== native build and tests with AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh asan
(cd build/asan && ctest --output-on-failure -j "$(nproc)")

echo "== fuzz targets replaying their corpus"
scripts/build.sh fuzz
(cd build/fuzz && ctest --output-on-failure -j "$(nproc)")

echo "== Windows build and tests under Wine"
scripts/build.sh win64
source scripts/wine-env.sh
source scripts/xvfb.sh
brx_wine_prefix "$root/build/win64/wineprefix"
cleanup() {
  wineserver -k 2>/dev/null || true
  brx_stop_xvfb
}
trap cleanup EXIT
brx_start_xvfb
brx_start_wineserver
# One at a time: many of these tests send real keys and mouse input, which
# would land in another test's window if two ran at once. No second chance:
# a test waits for the state it needs, so a failure is a fault to find.
(cd build/win64 && ctest --output-on-failure)
