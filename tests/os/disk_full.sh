#!/usr/bin/env bash
# A save that runs out of room must fail, say so, and keep the old file.
# Natively the room is limited with `ulimit -f` (SIGXFSZ ignored, so writes
# fail with EFBIG). Usage: disk_full.sh SAVE_TOOL
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
target="$work/target.brx"
"$tool" small "$target"
cp "$target" "$work/old.brx"
set +e
reason=$(trap '' XFSZ; ulimit -f 64; "$tool" large "$target" 2>&1)
code=$?
set -e
[ "$code" -eq 1 ] || { echo "expected the save to fail, exit code $code: $reason" >&2; exit 1; }
case "$reason" in
  "cannot write the file: "*) ;;
  *) echo "unexpected reason: $reason" >&2; exit 1 ;;
esac
cmp "$target" "$work/old.brx" || { echo "the old file was changed" >&2; exit 1; }
leftovers=$(find "$work" -mindepth 1 -maxdepth 1 -printf '%f\n' | grep -v -x -e target.brx -e old.brx || true)
[ -z "$leftovers" ] || { echo "left behind: $leftovers" >&2; exit 1; }
echo "disk full: save failed with \"$reason\", old file kept, nothing left behind"
