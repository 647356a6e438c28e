#!/usr/bin/env bash
# Makes the screenshots in docs/ from the real program under Wine on a
# private Xvfb, with the release's sample file open: the main window with a
# structure selected, a tile selected, and the File menu open.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/win64, built first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win64}
[ $# -ge 1 ] || "$root/scripts/build.sh" win64 brxedit brxtool
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

# The sample file of the release, built by brxtool from its JSON.
wine "$build/tools/brxtool.exe" build "$(brx_windows_path "$root/docs/sample.json")" \
  "$(brx_windows_path "$work/sample.brx")" >/dev/null 2>&1 </dev/null ||
  { echo "brxtool could not build the sample" >&2; exit 1; }

wine "$exe" "$(brx_windows_path "$work/sample.brx")" >/dev/null 2>&1 &
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
