#!/usr/bin/env bash
# brxtool atlas on a file too large for one page (65,535 structures x 60
# tiles, 127 MB): refused with nothing written, naming a range that fits;
# that range then gives a page, and one structure more is refused again.
# Usage: atlas_too_large.sh BRXTOOL MAKE_STRUCTURE_FILE WORK_FOLDER
set -euo pipefail
tool=$1
maker=$2
work=$3

rm -rf "$work"
mkdir -p "$work"
structures=65535
"$maker" "$structures" 60 "$work/big.brx"
code=0
"$tool" atlas "$work/big.brx" "$work/big.html" 2>"$work/err" || code=$?
if [ "$code" -ne 1 ] || [ -e "$work/big.html" ]; then
  echo "a file too large for a page: exit code $code, expected 1 and no page" >&2
  exit 1
fi
range=$(grep -o -- '--from 0 --to [0-9]* fits' "$work/err" | cut -d' ' -f1-4) || {
  echo "the refusal names no range that fits:" >&2
  cat "$work/err" >&2
  exit 1
}
read -r _ _ _ last <<<"$range"
# One more must be a structure of the file, so that only the size refuses it.
if [ $((last + 1)) -ge "$structures" ]; then
  echo "the range named, $range, is the whole file" >&2
  exit 1
fi
# shellcheck disable=SC2086 # the range is four words
if ! "$tool" atlas $range "$work/big.brx" "$work/part.html" || [ ! -s "$work/part.html" ]; then
  echo "the range named, $range, does not fit a page" >&2
  exit 1
fi
page=$(stat -c %s "$work/part.html")
# One structure more does not fit.
code=0
"$tool" atlas --to $((last + 1)) "$work/big.brx" "$work/more.html" 2>/dev/null || code=$?
if [ "$code" -ne 1 ] || [ -e "$work/more.html" ]; then
  echo "--to $((last + 1)): exit code $code, expected 1 and no page" >&2
  exit 1
fi
rm -rf "$work"
echo "refused, and $range ($page bytes) fits"
