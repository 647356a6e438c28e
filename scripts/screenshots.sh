#!/usr/bin/env bash
# Makes the screenshots in docs/ from the real program under Wine on a
# private Xvfb: the main window with a file open and a structure selected,
# a tile selected, and the File menu open.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/win64, built first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win64}
[ $# -ge 1 ] || "$root/scripts/build.sh" win64 brxedit
exe="$build/app/brxedit.exe"
[ -f "$exe" ] || { echo "no $exe: build it first" >&2; exit 1; }

source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"
brx_wine_prefix "$build/wineprefix"
work=$(mktemp -d)
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  wineserver -k 2>/dev/null || true
  brx_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
brx_start_xvfb

# A small document: three structures (two with tiles), some flags and values.
python3 - "$work/walls.brx" <<'PY'
import struct, sys
structures = [
    # armour, hit points, density, flags, wall orientation, tiles (shape rows)
    (30, 50, 80, (1 << 0) | (1 << 16) | (1 << 7), 1, [
        ["0 0 8 0 0", "0 8 8 8 0", "8 8 8 8 8", "0 8 8 8 0", "0 0 8 0 0"],
        ["1 1 1 1 1", "1 0 0 0 1", "1 0 0 0 1", "1 0 0 0 1", "1 1 1 1 1"]]),
    (10, 20, 40, (1 << 19) | (1 << 2), 2, [
        ["0 0 0 0 0", "0 4 4 4 0", "0 4 0 4 0", "0 4 4 4 0", "0 0 0 0 0"]]),
    (5, 5, 5, (1 << 9), 0, []),
]
data = b""
tile_count = 0
for number, (armour, hp, density, flags, wall, tiles) in enumerate(structures):
    data += struct.pack("<BBBBIHBbbbbB", armour, hp, density, len(tiles), flags, number, wall,
                        0, 0, 0, 0, 0)
    for j, rows in enumerate(tiles):
        grid = [[int(v) for v in row.split()] for row in rows]
        shape = bytes(grid[r][c] for c in range(5) for r in range(5))  # column by column
        data += struct.pack("<hbb", j, j, 0) + shape + bytes([1, 0, 0])
        tile_count += 1
header = b"BRXF" + struct.pack("<HHHB5s", len(structures), len(structures), len(data) & 0xFFFF,
                               2, b"\0" * 5)
open(sys.argv[1], "wb").write(header + data)
PY

wine "$exe" "$(winepath -w "$work/walls.brx")" >/dev/null 2>&1 &
program=$!
window=$(brx_wait_for_window BRXEDIT) || { echo "the program's window did not appear" >&2; exit 1; }
xdotool windowfocus --sync "$window"
xdotool mousemove 1200 1000  # no hover effects in the pictures
sleep 1

# shot NAME: the frame's area of the screen, popups included.
shot() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
    "$root/docs/$1.png"
  echo "docs/$1.png"
}

shot main-window            # the first structure is selected at start
xdotool key Down; sleep 0.7 # the tree has the focus: down to the first tile
shot tile-selected
xdotool key alt+f; sleep 0.8
shot file-menu
xdotool key Escape; sleep 0.2; xdotool key Escape; sleep 0.3
xdotool key alt+F4
wait "$program" || true
program=""
