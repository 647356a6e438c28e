#!/usr/bin/env bash
# brxtool set as the user nobody on a file nobody may write, in a folder
# nobody may not create files in: the save needs a temporary file beside the
# target, and the message must say that the folder is the trouble, not the
# file. Root writes anywhere, so this runs as nobody.
# Usage: unwritable_folder.sh RUN_UNPRIVILEGED SETPRIV BRXTOOL SAMPLE_JSON
set -u
run_unprivileged=$1
setpriv=$2
tool=$3
sample=$4

work=$(mktemp -d)
trap 'chmod 755 "$work/data" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/data"
"$tool" build "$sample" "$work/data/walls.brx" || { echo "FAIL: brxtool could not build the sample"; exit 1; }
chmod 666 "$work/data/walls.brx"
chmod 555 "$work/data"
before=$(sha256sum <"$work/data/walls.brx")

"$run_unprivileged" "$setpriv" "$tool" set "$work/data/walls.brx" 0.Armour=50 2>"$work/err"
code=$?
failures=0
[ "$code" -eq 1 ] || { echo "FAIL: exit code $code, wanted 1"; failures=$((failures + 1)); }
expected="brxtool: $work/data/walls.brx: cannot create a temporary file in $work/data: Permission denied; a save needs a folder it may create files in"
[ "$(cat "$work/err")" = "$expected" ] ||
  { echo "FAIL: the message was: $(cat "$work/err")"; failures=$((failures + 1)); }
[ "$(sha256sum <"$work/data/walls.brx")" = "$before" ] ||
  { echo "FAIL: the file changed"; failures=$((failures + 1)); }
[ "$(ls -A "$work/data")" = walls.brx ] ||
  { echo "FAIL: left behind: $(ls -A "$work/data")"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || exit 1
echo "brxtool names the folder it may not create its temporary file in"
