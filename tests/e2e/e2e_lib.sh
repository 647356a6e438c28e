# shellcheck shell=bash
# Sourced by the end-to-end scripts: runs the real brxedit.exe under Wine and
# drives it with real X input (xdotool), finding where to click with
# locate.exe. Needs BRX_BUILD (the cross build tree) and BRX_SOURCE.
# Every failure, and every unexpected error of a command, leaves a screenshot
# in $BRX_BUILD/e2e-failures/<test>.png.

set -uo pipefail
source "$BRX_SOURCE/scripts/wine-env.sh"
source "$BRX_SOURCE/scripts/xvfb.sh"
source "$BRX_SOURCE/scripts/resource-ids.sh"
# The controls and commands by their names in res/resource.h.
brx_resource_ids "$BRX_SOURCE" || exit 1

e2e_name=$(basename "$0" .sh)
e2e_failures="$BRX_BUILD/e2e-failures"
e2e_work=$(mktemp -d "/tmp/brx-e2e-$e2e_name.XXXXXX")
e2e_program_pid=""
e2e_own_display=""

e2e_screenshot() {
  mkdir -p "$e2e_failures"
  import -display "$DISPLAY" -window root "$e2e_failures/$e2e_name.png" 2>/dev/null &&
    echo "screenshot: $e2e_failures/$e2e_name.png" >&2
}

fail() {
  echo "FAIL ($e2e_name): $*" >&2
  e2e_screenshot
  echo "windows of the program:" >&2
  locate windows >&2 || true
  echo "X focus: $(xdotool getwindowfocus getwindowname 2>&1 | tr '\n' ' '); Wine's front window: $(locate focus-xid)" >&2
  exit 1
}

e2e_cleanup() {
  [ -n "$e2e_program_pid" ] && kill "$e2e_program_pid" 2>/dev/null
  if [ -n "$e2e_own_display" ]; then
    wineserver -k 2>/dev/null
    brx_stop_xvfb
  fi
  rm -rf "$e2e_work"
}
trap e2e_cleanup EXIT

# A display for the test: the one given, or a private Xvfb. A wineserver keeps
# the display it started with, so a private display gets a fresh server.
if [ -z "${DISPLAY:-}" ]; then
  brx_start_xvfb || exit 1
  e2e_own_display=1
fi
brx_wine_prefix "$BRX_BUILD/wineprefix" || exit 1
[ -n "$e2e_own_display" ] && wineserver -k 2>/dev/null
brx_start_wineserver
rm -f "$e2e_failures/$e2e_name.png"

# Windows programs of the tree, each under a timeout.
locate() { timeout -k 2 15 wine "$BRX_BUILD/tests/e2e/locate.exe" "$@" 2>/dev/null | tr -d '\r'; }
brxtool() { timeout -k 2 30 wine "$BRX_BUILD/tools/brxtool/brxtool.exe" "$@" 2>&1 | tr -d '\r'; }

# wait_for SECONDS DESCRIPTION COMMAND...: polls until the command succeeds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -ge "$deadline" ] && fail "waited ${seconds}s for: $what"
    sleep 0.2
  done
}

# expect_shown WHAT EXPECTED LOCATE_ARGS...: waits until locate prints
# EXPECTED; what the program shows follows the input it is given a moment later.
expect_shown() {
  local what=$1 expected=$2 deadline=$((SECONDS + 15)) got
  shift 2
  until got=$(locate "$@") && [ "$got" = "$expected" ]; do
    [ "$SECONDS" -ge "$deadline" ] && fail "$what: got '$got', expected '$expected'"
    sleep 0.2
  done
}

# The title of the top-level window that has the keyboard focus, while the
# program is in front.
focus_title() { locate focus | cut -d'|' -f2; }
in_front() { [ "$(focus_title)" = "$1" ]; }

# Starts brxedit.exe with the arguments and waits for its frame.
# shellcheck disable=SC2120
start_program() {
  timeout -k 5 "${BRX_PROGRAM_TIMEOUT:-120}" wine "$BRX_BUILD/app/brxedit.exe" "$@" >"$e2e_work/program.out" 2>&1 </dev/null &
  e2e_program_pid=$!
  e2e_frame_xid=$(brx_wait_for_window BRXEDIT 30) || fail "the BRXEDIT frame did not show"
  focus_frame
}

# Closes the program with Alt+F4 and checks that it ended by itself with exit
# code 1 (no crash, no hang). The keys it ended on are then let go in Wine.
close_program() {
  focus_frame
  xdotool key alt+F4
  local code=0
  wait "$e2e_program_pid" || code=$?
  e2e_program_pid=""
  locate release-keys
  [ "$code" -eq 1 ] || fail "brxedit.exe ended with exit code $code, not 1"
}

# Gives the frame the X focus and waits until Wine has made it the active
# window (a box of the program titled BRXEDIT on top of it counts too, and
# then gets the X focus itself, so that keys go where Wine sends them).
focus_frame() {
  xdotool windowfocus --sync "$e2e_frame_xid" 2>/dev/null
  wait_for 10 "the frame in front" in_front BRXEDIT
  wait_for 10 "keys to go to the window in front" keys_go_to_front
}

# click_rect X Y W H: a left click in the middle of the rectangle. The X
# server moves the pointer before it clicks, in the order asked; a --sync
# here would wait 15 s for a move when the pointer is already there.
click_rect() {
  [ $# -ge 4 ] || fail "nothing to click"
  xdotool mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) click 1
}
# locate prints a rectangle as four numbers: split into click_rect's arguments.
# shellcheck disable=SC2046
click_control() { click_rect $(locate control "$1") || fail "no control $1"; }
# shellcheck disable=SC2046
click_tree_item() { click_rect $(locate tree-item "$1"); }
# shellcheck disable=SC2046
click_toolbar() { click_rect $(locate toolbar-button "$1"); }
# shellcheck disable=SC2046
click_menubar() { click_rect $(locate menubar-button "$1"); }

# The program's visible top-level windows of a title (a file dialog: "Open", "Save As").
window_titled() { locate windows | grep -q "^#32770|$1|"; }
no_window_titled() { ! window_titled "$1"; }
popup_open() { locate windows | grep -q '^#32768|'; }
message_shown() { locate message | grep -q .; }
no_message() { ! message_shown; }

# open_menu_with WAY...: a popup of the menu is open after the way (a click on
# the menu bar, a key).
open_menu_with() {
  "$@"
  wait_for 10 "an open menu after $*" popup_open
}

# keys_go_to_front: the X server gives keys to the window Wine has in front.
# Wine activates a new box at once but moves the X focus to it only once it
# hears the box is mapped, and on a busy machine at times not at all. A key
# that closed the box while that move was still to come would leave no window
# of the program active, so the box is given the X focus here and the key
# waits until the server has moved it (Wine's own move, if it comes later,
# then finds the focus where it is and makes no event).
keys_go_to_front() {
  local front
  front=$(locate focus-xid) && [ -n "$front" ] || return 1
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$front" ] && return 0
  xdotool windowfocus "$front" 2>/dev/null
  return 1
}

# wait_for_dialog TITLE: the file dialog is open, its file-name box has the
# focus, and keys go there.
wait_for_dialog() {
  wait_for 15 "the \"$1\" dialog" file_name_box_in "$1"
  wait_for 10 "keys to go to the \"$1\" dialog" keys_go_to_front
}
file_name_box_in() { locate focus | grep -q "^Edit|$1|"; }

# wait_for_message: the program's message box is shown, its OK button focused
# and taking the keys.
wait_for_message() { wait_for 10 "the message" message_ready; }
message_ready() { message_shown && [ "$(locate focus)" = "Button|BRXEDIT|OK" ] && keys_go_to_front; }

# type_file_name NAME: types a name into the open file dialog and presses Enter
# once the name is in the box.
type_file_name() {
  local box
  box=$(locate focus | cut -d'|' -f1,2)
  xdotool type --delay 15 -- "$1"
  expect_shown "the name typed" "$box|$1" focus
  xdotool key Return
}

# expect_equal ACTUAL EXPECTED WHAT
expect_equal() { [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"; }

# A sample file of three structures, built from the JSON fixture.
make_sample() {
  local out=$1
  brxtool build "$BRX_SOURCE/tests/e2e/three_structures.json" "$(brx_windows_path "$out")" >/dev/null ||
    fail "could not build the sample file"
  [ -s "$out" ] || fail "the sample file is empty"
}

# with_bit FILE OFFSET BIT: the file's bytes as hex with one bit set.
hex_with_bit() {
  python3 -c 'import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[int(sys.argv[2])] |= 1 << int(sys.argv[3])
print(data.hex())' "$@"
}
hex_of() { python3 -c 'import sys; print(open(sys.argv[1], "rb").read().hex())' "$1"; }
