#!/usr/bin/env bash
# The toolbar's three buttons, the menu bar by mouse and the menu by keyboard
# all reach New, Open and Save As.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

sample="$e2e_work/three.brx"
make_sample "$sample"
original=$(hex_of "$sample")
start_program

# open_with WAY...: runs the way, answers the Open dialog with the sample.
open_with() {
  "$@"
  wait_for_dialog "Open"
  type_file_name "$(brx_windows_path "$sample")"
  expect_shown "the sample in the tree ($*)" 6 tree-count
}
# save_with NAME WAY...: runs the way, answers Save As with NAME; the file
# must hold the sample's bytes.
save_with() {
  local name=$1
  shift
  "$@"
  wait_for_dialog "Save As"
  type_file_name "$(brx_windows_path "$e2e_work/$name")"
  wait_for 15 "$name ($*)" test -s "$e2e_work/$name"
  expect_equal "$(hex_of "$e2e_work/$name")" "$original" "the bytes of $name"
}
# new_with WAY...: runs the way; the tree becomes empty.
new_with() {
  "$@"
  expect_shown "an empty tree ($*)" 0 tree-count
}
menu() {
  open_menu_with click_menubar 0
  xdotool key "$1"
}
keyboard_menu() {
  focus_frame
  open_menu_with xdotool key alt+f
  xdotool key "$1"
}

open_with click_toolbar "$ID_FILE_OPEN"
save_with toolbar.brx click_toolbar "$ID_FILE_SAVE_AS"
new_with click_toolbar "$ID_FILE_NEW"

open_with menu o
save_with menu.brx menu a
new_with menu n

open_with keyboard_menu o
save_with keyboard.brx keyboard_menu a
new_with keyboard_menu n
close_program
echo "PASS"
