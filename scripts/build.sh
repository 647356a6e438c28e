#!/usr/bin/env bash
# Configures and builds one tree: `native` (host g++) or `win64` (mingw-w64).
# Usage: scripts/build.sh native|win64 [make targets...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1
shift
case "$tree" in
  native) toolchain=() ;;
  win64) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
  *) echo "unknown build tree: $tree" >&2; exit 2 ;;
esac
build="$root/build/$tree"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$(nproc)" ${1:+--target "$@"}
