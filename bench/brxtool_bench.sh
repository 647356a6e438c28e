#!/usr/bin/env bash
# brxtool at the format's limits: the time and peak memory of every command,
# on files made byte by byte (not by brxtool). Not part of the test command.
#
# 1. Speed ratios on 65,535 structures x 10 tiles, best of three rounds with
#    every output going to /dev/null: dump --json against the text dump per
#    byte of output, build of that JSON against dump --json, and both against
#    `jq -c .` on the same JSON. The atlas page of that file: its size, and
#    in headless Chromium the time to the first structures drawn and to
#    #60000 (bench/atlas_bench.py). A patch of every field of that file:
#    diff --patch, apply against build, and wc -l of the patch against build.
# 2. Every command on the largest file the format allows (65,535 x 255 tiles,
#    536 MB), with its peak memory against the .brx files it reads or writes;
#    atlas refuses it (too large for a page), and draws the range it names.
#
# Usage: bench/brxtool_bench.sh [BUILD_TREE [WORK_FOLDER]]
#   BUILD_TREE defaults to build/native (scripts/build.sh native), WORK_FOLDER
#   to a new temporary folder, removed at the end. Needs about 8 GB of disk.
# A new command is one more `run` line in part 2.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
tool=$build/tools/brxtool/brxtool
maker=$build/tests/tools/make_structure_file
if [ -n "${2:-}" ]; then
  work=$2
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
for program in "$tool" "$maker" /usr/bin/time jq; do
  command -v "$program" >/dev/null || { echo "missing: $program" >&2; exit 1; }
done

size() { stat -c %s "$1"; }

# run NAME BRX_BYTES OUTPUT COMMAND...: runs COMMAND with its standard output
# in OUTPUT and prints its time, its peak memory and that memory against
# BRX_BYTES, the size of the .brx files it reads or writes. Sets `seconds`.
run() {
  local name=$1 brx_bytes=$2 output=$3 code=0 kb
  shift 3
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$output" || code=$?
  # diff exits 1 when the files differ; anything else is a failure.
  if [ "$code" -gt 1 ]; then
    echo "$name failed with exit code $code" >&2
    exit 1
  fi
  # time puts "Command exited with non-zero status" first when it does.
  read -r seconds kb < <(tail -n 1 "$work/time")
  awk -v n="$name" -v s="$seconds" -v kb="$kb" -v b="$brx_bytes" 'BEGIN {
    ratio = b > 0 ? sprintf("%.2fx", kb * 1024 / b) : "-"
    printf "%-30s %8.2f s %8.0f MB peak %8s of the .brx\n", n, s, kb / 1024, ratio }'
}

echo "== 65,535 structures x 10 tiles, best of three"
small=$work/small.brx
"$maker" 65535 10 "$small"
small_bytes=$(size "$small")
# The outputs are counted once; the timed runs print to /dev/null, so that
# writing hundreds of MB to a file does not pad the figures.
text_bytes=$("$tool" dump "$small" | wc -c)
"$tool" dump --json "$small" >"$work/small.json"
json_bytes=$(size "$work/small.json")
"$tool" build "$work/small.json" - >"$work/rebuilt.brx"
cmp "$work/rebuilt.brx" "$small"
rm -f "$work/rebuilt.brx"
# best NAME COMMAND...: runs COMMAND three times and sets `best` to the
# shortest time.
best() {
  local name=$1 round
  shift
  best=
  for round in 1 2 3; do
    run "$name ($round)" "$small_bytes" /dev/null "$@"
    best=$(awk -v a="${best:-$seconds}" -v b="$seconds" 'BEGIN { print (b < a ? b : a) }')
  done
}
best "dump" "$tool" dump "$small"
text_seconds=$best
best "dump --json" "$tool" dump --json "$small"
json_seconds=$best
best "build" "$tool" build "$work/small.json" -
build_seconds=$best
run "jq -c ." 0 /dev/null jq -c . "$work/small.json"
jq_seconds=$seconds
awk -v t="$text_seconds" -v tb="$text_bytes" -v j="$json_seconds" -v jb="$json_bytes" \
    -v b="$build_seconds" -v q="$jq_seconds" 'BEGIN {
  printf "dump --json per output byte / dump per output byte: %.2f (goal <= 1.1)\n", (j / jb) / (t / tb)
  printf "build / dump --json:                                %.2f (goal <= 1.5)\n", b / j
  printf "dump --json / jq -c .:                              %.2f (goal <= 0.2)\n", j / q
  printf "build / jq -c .:                                    %.2f (goal <= 0.2)\n", b / q }'
rm -f "$work/small.json"
run "atlas" "$small_bytes" /dev/null "$tool" atlas "$small" "$work/small.html"
echo "  ($(size "$work/small.html") bytes of page)"
rm -f "$work/small.html"
/usr/bin/python3 "$root/bench/atlas_bench.py" "$build" "$work" 65535 10

# A mod that changes every field of the file (but one in 256), as a patch:
# apply against build of the file's JSON, and per byte of patch against per
# byte of that JSON (the patch, a test and a replace of every field, is many
# times the JSON's size).
mod=$work/small-mod.brx
"$maker" 65535 10 "$mod" 1
"$tool" diff --patch "$small" "$mod" >"$work/small.patch.json" || [ $? -eq 1 ]
patch_bytes=$(size "$work/small.patch.json")
best "diff --patch" "$tool" diff --patch "$small" "$mod"
best "apply (every field)" "$tool" apply --output "$work/applied.brx" "$small" "$work/small.patch.json"
apply_seconds=$best
cmp "$work/applied.brx" "$mod"
# Counting the patch's lines, the least a reader of it must do (look at
# each byte once), for what any apply of a patch that size can reach.
best "wc -l of the patch" wc -l "$work/small.patch.json"
lines_seconds=$best
awk -v a="$apply_seconds" -v b="$build_seconds" -v pb="$patch_bytes" -v jb="$json_bytes" \
    -v l="$lines_seconds" 'BEGIN {
  printf "  (%.0f bytes of patch, %.1f times the JSON)\n", pb, pb / jb
  printf "apply / build:                                      %.2f (goal <= 1.5)\n", a / b
  printf "apply per patch byte / build per JSON byte:         %.2f\n", (a / pb) / (b / jb)
  printf "wc -l of the patch / build:                         %.2f\n", l / b }'
rm -f "$work/small.json" "$work/small.patch.json" "$work/applied.brx" "$mod"

echo "== 65,535 structures x 255 tiles"
big=$work/big.brx
"$maker" 65535 255 "$big"
bytes=$(size "$big")
run "check" "$bytes" /dev/null "$tool" check "$big"
run "dump" "$bytes" /dev/null "$tool" dump "$big"
run "dump --json" "$bytes" "$work/big.json" "$tool" dump --json "$big"
echo "  ($(size "$work/big.json") bytes of JSON)"
run "build" "$bytes" /dev/null "$tool" build "$work/big.json" "$work/built.brx"
cmp "$work/built.brx" "$big"
rm -f "$work/big.json"
run "set" "$bytes" /dev/null "$tool" set "$work/built.brx" 0.Armour=1 '65534.tiles.254.Shape[4][4]=7'
run "diff" $((2 * bytes)) /dev/null "$tool" diff "$big" "$work/built.brx"
run "diff --json" $((2 * bytes)) /dev/null "$tool" diff --json "$big" "$work/built.brx"
run "merge" $((4 * bytes)) /dev/null "$tool" merge --output "$work/merged.brx" "$big" "$work/built.brx" "$big"
run "export" "$bytes" /dev/null "$tool" export "$big" "$work/structures.csv" "$work/tiles.csv"
run "import" "$bytes" /dev/null "$tool" import "$work/built.brx" "$work/structures.csv" "$work/tiles.csv"
rm -f "$work/structures.csv" "$work/tiles.csv"
# Exits 1: too large for a page; the message names the range that fits.
run "atlas (refused)" "$bytes" /dev/null "$tool" atlas "$big" "$work/big.html" 2>"$work/err"
range=$(grep -o -- '--from 0 --to [0-9]*' "$work/err")
# shellcheck disable=SC2086 # the range is four words
run "atlas $range" "$bytes" /dev/null "$tool" atlas $range "$big" "$work/big.html"
echo "  ($(size "$work/big.html") bytes of page)"
