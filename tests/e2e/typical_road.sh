#!/usr/bin/env bash
# The typical road as a user walks it: Ctrl+O, a file of three structures,
# check "Door", click the second structure item, File > Save As with a name
# typed without extension. The file gets ".brx", and its bytes are the
# original's except bit 19 of structure 0's Flags.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

sample="$e2e_work/three.brx"
make_sample "$sample"
start_program

focus_frame
xdotool key ctrl+o
wait_for_dialog "Open"
type_file_name "$(brx_windows_path "$sample")"
expect_shown "the three structures in the tree" 6 tree-count
expect_shown "the selection after Open" 0 selected

door=$((IDC_FIRST_FLAG + 19)) # the flag checkbox of bit 19
expect_shown "Door before the click" 0 checked $door
click_control $door
expect_shown "Door after the click" 1 checked $door

click_tree_item 3 # structure 1: structure 0 and its two tiles come first
expect_shown "the selection after the click" 3 selected

open_menu_with click_menubar 0
xdotool key a # Save &As...
wait_for_dialog "Save As"
type_file_name "$(brx_windows_path "$e2e_work/edited")"
wait_for 15 "edited.brx" test -s "$e2e_work/edited.brx"
wait_for 10 "the Save As dialog to close" no_window_titled "Save As"

[ ! -e "$e2e_work/edited" ] || fail "a file without extension was written"
# File header (16 bytes), then structure 0's header: Flags at offset 4.
expect_equal "$(hex_of "$e2e_work/edited.brx")" "$(hex_with_bit "$sample" 22 3)" \
  "the saved bytes"
brxtool check "$(brx_windows_path "$e2e_work/edited.brx")" >/dev/null || fail "brxtool check failed"
close_program
echo "PASS"
