#!/usr/bin/env bash
# brxtool atlas on a file too large for one page (65,535 structures x 60
# tiles, 127 MB): refused with nothing written, naming a range that fits;
# that range then gives a page within the limit, of those structures only.
# Usage: atlas_too_large.sh BRXTOOL MAKE_STRUCTURE_FILE WORK_FOLDER
set -euo pipefail
tool=$1
maker=$2
work=$3

rm -rf "$work"
mkdir -p "$work"
"$maker" 65535 60 "$work/big.brx"
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
# shellcheck disable=SC2086 # the range is four words
"$tool" atlas $range "$work/big.brx" "$work/part.html"
# The records of structures 0 to last in base64, and a page's template besides.
records=$(((last + 1) * (16 + 60 * 32)))
page=$(stat -c %s "$work/part.html")
limit=$((160 * 1024 * 1024))
if [ "$page" -lt $((records * 4 / 3)) ] || [ "$page" -gt $((limit + 1024 * 1024)) ]; then
  echo "the page of $range is $page bytes: not the records of $((last + 1)) structures" >&2
  exit 1
fi
# One structure more does not fit.
if "$tool" atlas --to $((last + 1)) "$work/big.brx" "$work/more.html" 2>/dev/null; then
  echo "--to $((last + 1)) should not fit a page" >&2
  exit 1
fi
rm -rf "$work"
echo "refused, and $range ($page bytes) fits"
