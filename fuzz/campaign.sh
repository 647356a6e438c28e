#!/usr/bin/env bash
# Runs one fuzz target for a given time on its corpus and prints how many
# inputs it executed and what it found.
# Usage: fuzz/campaign.sh reader|json SECONDS [JOBS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=$1 seconds=$2 jobs=${3:-1}
"$root/scripts/build.sh" fuzz "${target}_fuzzer" >/dev/null
work=$(mktemp -d)
findings="$root/build/fuzz/findings-$target"
mkdir -p "$findings"
cp -r "$root/fuzz/corpus/$target/." "$work/"
log="$root/build/fuzz/campaign-$target.log"
"$root/build/fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" -jobs="$jobs" -workers="$jobs" \
  -max_len=70000 -malloc_limit_mb=256 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$work" >"$log" 2>&1 || true
# With several jobs each writes its own fuzz-N.log.
runs=$(cat "$log" "$root"/fuzz-*.log 2>/dev/null | grep -h 'stat::number_of_executed_units' | awk '{s+=$2} END {print s+0}')
rm -f "$root"/fuzz-*.log
count=$(find "$findings" -type f | wc -l)
echo "target $target: $runs executions in $seconds s, $count findings (in $findings)"
rm -rf "$work"
[ "$count" -eq 0 ]
