#!/usr/bin/env bash
# dump --json and build of a file of 65,535 structures x 20 tiles (43 MB;
# 607 MB of JSON) under an address-space limit of 256 MB: a tree of the JSON
# (gigabytes) or the whole text could not fit, the document (about 1x the
# file) can. The JSON is compared with the checksum of what brxtool printed
# before it streamed; the rebuilt file with the file, byte for byte.
# Usage: bounded_memory.sh BRXTOOL MAKE_STRUCTURE_FILE WORK_FOLDER
set -euo pipefail
tool=$1
maker=$2
work=$3
limit_kb=$((256 * 1024))
expected=7f6be91022bfd96e9519c027adc5a95dedd8c802dbb2bf53513cac81dc202bef

rm -rf "$work"
mkdir -p "$work"
"$maker" 65535 20 "$work/big.brx"
# The limit applies to each brxtool alone, not to the checksum beside them.
mkfifo "$work/json"
sha256sum <"$work/json" >"$work/json.sha256" &
summing=$!
(ulimit -v "$limit_kb" && exec "$tool" dump --json "$work/big.brx") |
  tee "$work/json" |
  (ulimit -v "$limit_kb" && exec "$tool" build - "$work/rebuilt.brx")
wait "$summing"
read -r sum _ <"$work/json.sha256"
if [ "$sum" != "$expected" ]; then
  echo "dump --json printed other JSON: sha256 $sum, expected $expected" >&2
  exit 1
fi
if ! cmp "$work/rebuilt.brx" "$work/big.brx"; then
  echo "build of the dump did not give the file back" >&2
  exit 1
fi
rm -rf "$work"
echo "dump --json and build stayed within ${limit_kb} KB of address space each"
