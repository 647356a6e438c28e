#!/usr/bin/env bash
# Idle cost of the running editor: the CPU time the program (and the Wine
# server that carries its messages) uses over 10 s of doing nothing and over
# 10 s of the mouse moving across its window, on a private Xvfb.
# Usage: bench/idle_cost.sh [BUILD_DIR]   (default build/win64, built first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win64}
[ $# -ge 1 ] || "$root/scripts/build.sh" win64 brxedit
exe="$build/app/brxedit.exe"
seconds=10

source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"
brx_wine_prefix "$build/wineprefix"
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  wineserver -k 2>/dev/null || true
  brx_stop_xvfb
}
trap cleanup EXIT
brx_start_xvfb

# The program runs in the process `wine` starts (Wine renames it after the .exe).
wine "$exe" >/dev/null 2>&1 &
program=$!
window=$(brx_wait_for_window BRXEDIT) || { echo "the program's window did not appear" >&2; exit 1; }
# This prefix's Wine server works in a folder named after the prefix's device
# and inode.
server_dir="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
server=""
for pid in $(pgrep wineserver); do
  [ "$(basename "$(readlink "/proc/$pid/cwd")")" = "$server_dir" ] && server=$pid
done
[ -n "$server" ] || { echo "no Wine server for $WINEPREFIX" >&2; exit 1; }
sleep 3  # start-up settles

ticks=$(getconf CLK_TCK)
# CPU time of a process so far, in milliseconds (user + system).
cpu_ms() {
  awk -v t="$ticks" '{ print int(($14 + $15) * 1000 / t) }' "/proc/$1/stat"
}

measure() {
  local label=$1 action=$2
  local p0 s0 p1 s1
  p0=$(cpu_ms "$program")
  s0=$(cpu_ms "$server")
  $action
  p1=$(cpu_ms "$program")
  s1=$(cpu_ms "$server")
  printf '%-32s %8d ms %8d ms\n' "$label" $((p1 - p0)) $((s1 - s0))
}

idle() { sleep "$seconds"; }

moves=0

# Sweeps the pointer across the window, line by line, for the whole time.
mouse() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local end=$((SECONDS + seconds)) x y
  while [ $SECONDS -lt $end ]; do
    for y in $(seq $((Y + 40)) 60 $((Y + HEIGHT - 20))); do
      for x in $(seq $((X + 10)) 40 $((X + WIDTH - 10))); do
        xdotool mousemove "$x" "$y"
        moves=$((moves + 1))
      done
      [ $SECONDS -lt $end ] || break
    done
  done
}

echo "CPU time over $seconds s          brxedit.exe   wineserver"
measure "idle" idle
measure "mouse moving across the window" mouse
echo "($moves pointer moves in $seconds s)"
