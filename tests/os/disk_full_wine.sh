#!/usr/bin/env bash
# A save under Wine onto a disk that fills up must fail, say so, and keep the
# old file. The full disk is a small tmpfs, which needs root to mount; without
# it the test is skipped (exit code 77) and says why.
# Usage: disk_full_wine.sh WINE_RUN SAVE_TOOL_EXE
set -euo pipefail
wine_run=$1 tool=$2
disk=$(mktemp -d)
if ! mount -t tmpfs -o size=256k tmpfs "$disk" 2>/dev/null; then
  rmdir "$disk"
  echo "skipped: mounting a small tmpfs needs root (running as $(id -un))"
  exit 77
fi
trap 'umount "$disk"; rmdir "$disk"' EXIT
target="$disk/target.brx"
"$wine_run" "$tool" small "$target"
cp "$target" /tmp/brx-disk-full-old.$$
set +e
reason=$("$wine_run" "$tool" large "$target" 2>&1)
code=$?
set -e
old=/tmp/brx-disk-full-old.$$
trap 'umount "$disk"; rmdir "$disk"; rm -f "$old"' EXIT
[ "$code" -eq 1 ] || { echo "expected the save to fail, exit code $code: $reason" >&2; exit 1; }
case "$reason" in
  "cannot write the file: "*"(error 112)"*) ;;
  *) echo "unexpected reason: $reason" >&2; exit 1 ;;
esac
cmp "$target" "$old" || { echo "the old file was changed" >&2; exit 1; }
leftovers=$(find "$disk" -mindepth 1 -maxdepth 1 -printf '%f\n' | grep -v -x target.brx || true)
[ -z "$leftovers" ] || { echo "left behind: $leftovers" >&2; exit 1; }
echo "disk full under Wine: save failed with \"$reason\", old file kept, nothing left behind"
