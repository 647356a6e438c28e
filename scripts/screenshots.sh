#!/usr/bin/env bash
# Makes the screenshots in docs/ from the real program under Wine on a
# private Xvfb, with the release's sample file open: the main window with a
# structure selected, a tile selected, and the File menu open; then the
# page brxtool atlas writes of that file against a changed copy, in
# headless Chromium.
# Usage: scripts/screenshots.sh [--dpi DPI] [--out FOLDER] [BUILD_DIR]
#   --dpi DPI     the screen's scale: 96 (100 %, the default), 120, 144, 192 (200 %);
#                 the program runs in a Wine prefix of its own made for that DPI
#   --out FOLDER  where the pictures go (default docs/)
#   BUILD_DIR     default build/win64, built first
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dpi=""
out="$root/docs"
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi) dpi=${2:?--dpi needs a number}; shift 2 ;;
    --out) out=${2:?--out needs a folder}; shift 2 ;;
    -*) echo "usage: scripts/screenshots.sh [--dpi DPI] [--out FOLDER] [BUILD_DIR]" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ -n "$dpi" ] && [[ ! "$dpi" =~ ^[0-9]+$ ]]; then
  echo "--dpi takes a number, such as 144" >&2
  exit 2
fi
[ $# -ge 1 ] || "$root/scripts/build.sh" win64 brxedit brxtool
# Wine takes only an absolute prefix.
build=$(realpath -m -- "${1:-$root/build/win64}")
exe="$build/app/brxedit.exe"
[ -f "$exe" ] || { echo "no $exe: build it first" >&2; exit 1; }
mkdir -p "$out"

source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"
brx_wine_prefix "$build/wineprefix${dpi:+-dpi$dpi}" ${dpi:+"$dpi"}
work=$(mktemp -d)
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  wineserver -k 2>/dev/null || true
  brx_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
brx_start_xvfb ${dpi:+"$dpi"}

# The sample file of the release, built by brxtool from its JSON.
tool="$build/tools/brxtool/brxtool.exe"
wine "$tool" build "$(brx_windows_path "$root/docs/sample.json")" \
  "$(brx_windows_path "$work/sample.brx")" >/dev/null 2>"$work/err" </dev/null ||
  { echo "brxtool could not build the sample:" >&2; cat "$work/err" >&2; exit 1; }

wine "$exe" "$(brx_windows_path "$work/sample.brx")" >/dev/null 2>&1 &
program=$!
window=$(brx_wait_for_window BRXEDIT) || { echo "the program's window did not appear" >&2; exit 1; }
xdotool windowfocus --sync "$window"
eval "$(xdotool getdisplaygeometry --shell)"
xdotool mousemove $((WIDTH - 1)) $((HEIGHT - 1))  # no hover effects in the pictures
sleep 1

# shot NAME: the frame's area of the screen, popups included.
shot() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
    "$out/$1.png"
  echo "$out/$1.png"
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

# The atlas page: the sample against a copy with a field, a shape cell and
# a flag changed, so that the picture shows the compare marks too.
in_work() { brx_windows_path "$work/$1"; }
cp "$work/sample.brx" "$work/changed.brx"
brxtool() {
  timeout -k 5 60 wine "$tool" "$@" >/dev/null 2>"$work/err" </dev/null ||
    { echo "brxtool $1 failed:" >&2; cat "$work/err" >&2; exit 1; }
}
brxtool set "$(in_work changed.brx)" 1.Armour=12 "0.tiles.1.Shape[2][2]=200" 1.Flags+=Open
brxtool atlas --compare "$(in_work sample.brx)" "$(in_work changed.brx)" "$(in_work atlas.html)"
timeout -k 5 60 chromium --headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/chromium" --hide-scrollbars --window-size=1280,1150 \
  --screenshot="$out/atlas.png" "file://$work/atlas.html" >/dev/null 2>"$work/err" ||
  { echo "chromium could not take the page's picture:" >&2; cat "$work/err" >&2; exit 1; }
echo "$out/atlas.png"
