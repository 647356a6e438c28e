#!/usr/bin/env bash
# Configures and builds one tree.
# Usage: scripts/build.sh native|win64|asan|fuzz [make targets...]
# asan: the native tree with AddressSanitizer and UndefinedBehaviorSanitizer.
# fuzz: clang, the fuzz targets only.
# BRX_BUILD_DIR puts the tree elsewhere than build/TREE, so that a long job
# (a fuzz campaign) does not share its tree with the test command.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1
shift
case "$tree" in
  native) toolchain=() ;;
  win64) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
  asan) toolchain=(-DBRX_SANITIZE=ON -DBRX_BUILD_BENCHMARKS=OFF) ;;
  fuzz) toolchain=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRX_FUZZ=ON
                   -DBRX_BUILD_TESTS=OFF -DBRX_BUILD_BENCHMARKS=OFF) ;;
  *) echo "unknown build tree: $tree" >&2; exit 2 ;;
esac
build=${BRX_BUILD_DIR:-$root/build/$tree}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$(nproc)" ${1:+--target "$@"}
