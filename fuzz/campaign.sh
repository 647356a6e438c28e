#!/usr/bin/env bash
# Runs one fuzz target for a given time and prints how many inputs it
# executed, how fast, and what it found.
# Usage: fuzz/campaign.sh reader|json|document_json|csv|patch SECONDS [JOBS]
# The fuzz tree is build/fuzz, or BRX_BUILD_DIR. The corpus grows in the tree
# (corpus-TARGET, seeded from fuzz/corpus/TARGET) from one campaign to the
# next; what a campaign finds lands in findings-TARGET there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=$1 seconds=$2 jobs=${3:-1}
dictionary=$target
case "$target" in
  reader) max_len=70000 ;;  # beyond a structure of 255 tiles
  json) max_len=4096 ;;
  document_json) max_len=16384 ;;  # room for a few structures with tiles
  csv) max_len=16384 ;;
  patch) max_len=16384 dictionary=json ;;  # room for some hundred operations
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
build=${BRX_BUILD_DIR:-$root/build/fuzz}
BRX_BUILD_DIR=$build "$root/scripts/build.sh" fuzz "${target}_fuzzer" >/dev/null

corpus="$build/corpus-$target" findings="$build/findings-$target"
mkdir -p "$corpus" "$findings"
cp -rn "$root/fuzz/corpus/$target/." "$corpus/"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/artifacts"

options=(-max_total_time="$seconds" -max_len="$max_len" -malloc_limit_mb=256 -rss_limit_mb=1024
         -timeout=10 -print_final_stats=1 -artifact_prefix="$work/artifacts/")
[ -f "$root/fuzz/$dictionary.dict" ] && options+=(-dict="$root/fuzz/$dictionary.dict")
# Several jobs each write their own fuzz-N.log into the current folder.
[ "$jobs" -gt 1 ] && options+=(-jobs="$jobs" -workers="$jobs")
(cd "$work" && "$build/fuzz/${target}_fuzzer" "${options[@]}" "$corpus" >"$work/main.log" 2>&1) || true

cat "$work"/*.log >"$build/campaign-$target.log"
runs=$(grep -h 'stat::number_of_executed_units' "$work"/*.log | awk '{s += $2} END {print s + 0}')
count=$(find "$work/artifacts" -type f | wc -l)
cp -r "$work/artifacts/." "$findings/"
echo "target $target: $runs executions in $seconds s ($((runs / seconds)) per second, $jobs job(s)," \
     "$(nproc) cores), $count findings; log in $build/campaign-$target.log"
[ "$count" -eq 0 ] || echo "findings copied to $findings"
[ "$count" -eq 0 ]
