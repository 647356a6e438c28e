#!/usr/bin/env bash
# The real brxedit.exe as its own process under Wine, driven with real keys
# through the X server: it starts with and without a file on its command line
# and ends with exit code 1 after Alt+F4 and after File > Exit. A file that
# does not load would show a message box and the keys would miss the frame.
# Usage: brxedit_process_test.sh WINE_RUN BRXEDIT_EXE LOCATE_EXE   (needs DISPLAY and xdotool)
set -u
wine_run=$1
exe=$2
locate=$3
[ -n "${DISPLAY:-}" ] || { echo "no X display: run under Xvfb (./test.sh starts one)"; exit 1; }
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/../../scripts/wine-env.sh"
# shellcheck source=scripts/xvfb.sh
source "$(dirname "$0")/../../scripts/xvfb.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One structure with one tile: file header ("BRXF", 1 structure twice, 48
# bytes of data, format byte 2), a structure header with one tile, one tile.
sample="$work/one.brx"
{
  printf 'BRXF\001\000\001\000\060\000\002\000\000\000\000\000'
  printf '\001\002\003\001\000\000\000\000\000\000\000\000\000\000\000\000'
  head -c 32 /dev/zero
} >"$sample"

failures=0
# run_case NAME KEYS ARGUMENT...: starts the program, presses KEYS in its
# window once it shows and has the X focus, and expects exit code 1. The keys
# need no pause between them: a popup they open is posted, and the program
# takes posted messages before further input.
run_case() {
  local name=$1 keys=$2
  shift 2
  BRX_WINE_TIMEOUT=40 "$wine_run" "$exe" "$@" &
  local runner=$! window
  if ! window=$(brx_wait_for_window BRXEDIT 30); then
    echo "FAIL $name: no window appeared"
    failures=$((failures + 1))
    wait "$runner"
    return
  fi
  xdotool windowfocus --sync "$window"
  # shellcheck disable=SC2086
  xdotool key $keys
  wait "$runner"
  local code=$?
  # The program ended on a key press: its release never reached Wine.
  "$wine_run" "$locate" release-keys
  if [ "$code" -eq 1 ]; then
    echo "ok   $name"
  else
    echo "FAIL $name: exit code $code, expected 1"
    failures=$((failures + 1))
  fi
}

run_case "no file, Alt+F4" "alt+F4"
run_case "a file, Alt+F4" "alt+F4" "$(brx_windows_path "$sample")"
# Wine quotes an argument with a blank, as Explorer quotes a file it opens:
# the program must take the name without the quotes.
mkdir "$work/with space"
cp "$sample" "$work/with space/one.brx"
run_case "a file in quotes, File > Exit" "alt+f x" "$(brx_windows_path "$work/with space/one.brx")"
exit $((failures > 0))
