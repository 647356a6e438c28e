#!/usr/bin/env bash
# Makes the release for Windows users: dist/brxedit-<version>-win64.zip with
# brxedit.exe, brxtool.exe (both statically linked: no DLLs of ours), the
# README with its pictures, the brxtool guide and the licence; then checks
# the zip: its entries, that both programs are 64-bit Windows programs that
# import only system DLLs, and that the packed brxtool.exe runs under Wine.
# BRX_BUILD_DIR: the cross build tree to build in (default build/win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BRX_BUILD_DIR:-$root/build/win64}
scripts/install-deps.sh
BRX_BUILD_DIR=$build scripts/build.sh win64 brxedit brxtool
version=$(sed -n 's/^project(brxedit VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
name="brxedit-$version-win64"
stage="dist/$name"
rm -rf "$stage" "dist/$name.zip"
mkdir -p "$stage/docs"
cp "$build/app/brxedit.exe" "$build/tools/brxtool.exe" README.md LICENSE "$stage/"
cp docs/brxtool.md "$stage/docs/"
for picture in docs/*.png; do
  [ -e "$picture" ] && cp "$picture" "$stage/docs/"
done
x86_64-w64-mingw32-strip "$stage"/*.exe
(cd dist && zip -q -r "$name.zip" "$name")
rm -rf "$stage"

# Check what a user will unpack.
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
unzip -q "dist/$name.zip" -d "$check"
for entry in brxedit.exe brxtool.exe README.md LICENSE docs/brxtool.md; do
  [ -s "$check/$name/$entry" ] || { echo "the zip lacks $entry" >&2; exit 1; }
done
for exe in "$check/$name"/*.exe; do
  x86_64-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-x86-64' ||
    { echo "$exe is not a 64-bit Windows program" >&2; exit 1; }
  own=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' |
        grep -v -i -x -E '(kernel32|user32|gdi32|comctl32|comdlg32|ole32|shell32|advapi32|msvcrt|api-ms-win-.*)\.dll' || true)
  [ -z "$own" ] || { echo "$exe imports non-system DLLs: $own" >&2; exit 1; }
done
source scripts/wine-env.sh
brx_wine_prefix "$build/wineprefix"
timeout -k 5 60 wine "$check/$name/brxtool.exe" --version </dev/null 2>/dev/null | grep -q . ||
  { echo "the packed brxtool.exe does not run" >&2; exit 1; }
echo "dist/$name.zip"
unzip -l "dist/$name.zip" | sed -n '4,$p'
