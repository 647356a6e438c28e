#!/usr/bin/env bash
# Cancel in either dialog changes nothing; Ctrl+S does nothing; an Open of a
# damaged file says why and keeps the document with its unstored edit; a
# start-up file that does not load is told once the frame is shown.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

sample="$e2e_work/three.brx"
make_sample "$sample"
damaged="$e2e_work/damaged.brx"
printf 'BRXG\001\000\000\000\002\000\000\000\000\000\000\000' >"$damaged"
start_program "$(brx_windows_path "$sample")"
expect_shown "the sample in the tree" 6 tree-count
door=$((IDC_FIRST_FLAG + 19))
click_control $door # an edit not yet stored: the pane still holds it

expect_unchanged() {
  expect_shown "tree items $1" 6 tree-count
  expect_shown "the selection $1" 0 selected
  expect_shown "Door $1" 1 checked $door
  expect_equal "$(find "$e2e_work" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | tr '\n' ' ')" "damaged.brx program.out three.brx " "files $1"
}

# close_message_naming FILE REASON: the program's message names the file and
# then the reason; Return closes it.
close_message_naming() {
  wait_for_message
  local message
  message=$(locate message)
  case "$message" in
    *"$1"*"$2"*) ;;
    *) fail "the message does not name the file and the reason: $message" ;;
  esac
  xdotool key Return
  wait_for 10 "the message to close" no_message
}

focus_frame
xdotool key ctrl+o
wait_for_dialog "Open"
xdotool key Escape
wait_for 10 "the Open dialog to close" no_window_titled "Open"
expect_unchanged "after Cancel in Open"

open_menu_with click_menubar 0
xdotool key a
wait_for_dialog "Save As"
xdotool key Escape
wait_for 10 "the Save As dialog to close" no_window_titled "Save As"
expect_unchanged "after Cancel in Save As"

# Ctrl+S does nothing: the Open dialog after it is the only dialog.
focus_frame
xdotool key ctrl+s
click_toolbar "$ID_FILE_OPEN"
wait_for_dialog "Open"
expect_equal "$(locate windows | grep -c '^#32770|')" 1 "dialogs after Ctrl+S and Open"
expect_unchanged "after Ctrl+S"

type_file_name "$(brx_windows_path "$damaged")"
close_message_naming "$(brx_windows_path "$damaged")" 'does not start with "BRXF"'
expect_unchanged "after the damaged Open"

# The kept edit is stored when the selection moves, and Save As writes it.
click_tree_item 3
click_toolbar "$ID_FILE_SAVE_AS"
wait_for_dialog "Save As"
type_file_name "$(brx_windows_path "$e2e_work/kept.brx")"
wait_for 15 "kept.brx" test -s "$e2e_work/kept.brx"
expect_equal "$(hex_of "$e2e_work/kept.brx")" "$(hex_with_bit "$sample" 22 3)" "the saved bytes"
close_program

start_program "$(brx_windows_path "$damaged")"
close_message_naming "$(brx_windows_path "$damaged")" "BRXF"
# A second message would come before the program takes the next command.
click_toolbar "$ID_FILE_OPEN"
wait_for_dialog "Open"
message_shown && fail "a second message after the first was closed"
expect_shown "tree items after a start-up file that did not load" 0 tree-count
xdotool key Escape
wait_for 10 "the Open dialog to close" no_window_titled "Open"
close_program
echo "PASS"
