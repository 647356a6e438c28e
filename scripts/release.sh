#!/usr/bin/env bash
# Makes the release for Windows users: dist/brxedit-<version>-win64.zip with
# brxedit.exe and brxtool.exe (both statically linked: no DLLs of ours), the
# user guide as README.txt, the brxtool guide, the format reference, the
# licence and a sample file built from docs/sample.json by brxtool itself.
# The text files get Windows line ends, for Notepad. Then it checks the zip:
# its entries, that both programs are 64-bit Windows programs that import
# only system DLLs, that the packed brxtool.exe runs and reads the sample,
# that every link in a document names a file in the zip, and that the
# version agrees with the About box.
# BRX_BUILD_DIR: the cross build tree to build in (default build/win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BRX_BUILD_DIR:-$root/build/win64}
scripts/install-deps.sh
BRX_BUILD_DIR=$build scripts/build.sh win64 brxedit brxtool
version=$(sed -n 's/^project(brxedit VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
grep -q "\"BRXEDIT Application v$version\"" res/app.rc ||
  { echo "the About box does not say v$version" >&2; exit 1; }
# The version resource is written by hand too.
for key in FileVersion ProductVersion; do
  grep -q "VALUE \"$key\", \"$version\"" res/app.rc ||
    { echo "the version resource's $key is not $version" >&2; exit 1; }
done
source scripts/wine-env.sh
brx_wine_prefix "$build/wineprefix"
brxtool() { timeout -k 5 60 wine "$1" "${@:2}" </dev/null 2>&1; }

name="brxedit-$version-win64"
stage="dist/$name"
rm -rf "$stage" "dist/$name.zip"
mkdir -p "$stage"
cp "$build/app/brxedit.exe" "$build/tools/brxtool/brxtool.exe" docs/main-window.png docs/atlas.png \
  "$stage/"
# to_windows FROM TO: a text file with CR LF line ends.
to_windows() { sed 's/\r*$/\r/' "$1" >"$2"; }
to_windows docs/user-guide.md "$stage/README.txt"
to_windows docs/brxtool.md "$stage/brxtool.md"
to_windows docs/format.md "$stage/format.md"
to_windows LICENSE "$stage/LICENSE.txt"
brxtool "$build/tools/brxtool/brxtool.exe" build "$(brx_windows_path docs/sample.json)" \
  "$(brx_windows_path "$stage/sample.brx")" >/dev/null
x86_64-w64-mingw32-strip "$stage"/*.exe
(cd dist && zip -q -r "$name.zip" "$name")
rm -rf "$stage"

# Check what a user will unpack.
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
unzip -q "dist/$name.zip" -d "$check"
unpacked="$check/$name"
for entry in brxedit.exe brxtool.exe README.txt brxtool.md format.md LICENSE.txt sample.brx \
             main-window.png atlas.png; do
  [ -s "$unpacked/$entry" ] || { echo "the zip lacks $entry" >&2; exit 1; }
done
# The players' README names how mods are shipped and applied as patches.
grep -q '^Shipping a mod as a patch' "$unpacked/README.txt" ||
  { echo "README.txt lacks the section \"Shipping a mod as a patch\"" >&2; exit 1; }
for exe in "$unpacked"/*.exe; do
  x86_64-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-x86-64' ||
    { echo "$exe is not a 64-bit Windows program" >&2; exit 1; }
  own=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' |
        grep -v -i -x -E '(kernel32|user32|gdi32|comctl32|comdlg32|ole32|shell32|advapi32|msvcrt|api-ms-win-.*)\.dll' || true)
  [ -z "$own" ] || { echo "$exe imports non-system DLLs: $own" >&2; exit 1; }
done
brxtool "$unpacked/brxtool.exe" --version | grep -q "^brxtool $version" ||
  { echo "the packed brxtool.exe does not run, or is not version $version" >&2; exit 1; }
brxtool "$unpacked/brxtool.exe" check "$(brx_windows_path "$unpacked/sample.brx")" | grep -q '^ok:' ||
  { echo "the packed sample.brx does not pass brxtool check" >&2; exit 1; }
# Every Markdown link of a document that is not a web address must name a
# file in the zip, relative to the document.
for doc in "$unpacked"/*.txt "$unpacked"/*.md; do
  while IFS= read -r target; do
    case "$target" in http://* | https://* | mailto:* | '#'*) continue ;; esac
    [ -e "$(dirname "$doc")/${target%%#*}" ] ||
      { echo "$(basename "$doc") links to $target, which is not in the zip" >&2; exit 1; }
  done < <(grep -o '](\([^)]*\))' "$doc" | sed 's/^](\(.*\))$/\1/')
done
echo "dist/$name.zip"
unzip -l "dist/$name.zip" | sed -n '4,$p'
