#!/usr/bin/env bash
# Save As onto an existing file asks first: "No" keeps the dialog open and the
# file as it was, "Yes" replaces it.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

sample="$e2e_work/three.brx"
make_sample "$sample"
original=$(hex_of "$sample")
start_program "$(brx_windows_path "$sample")"
expect_shown "the sample in the tree" 6 tree-count
click_control $((IDC_FIRST_FLAG + 19)) # Door: the document now differs from the file

# The question is a box of its own; Wine titles it "Error", Windows "Confirm Save As".
question_in_front() {
  local title
  title=$(focus_title) && [ -n "$title" ] && [ "$title" != "Save As" ] && [ "$title" != BRXEDIT ] &&
    keys_go_to_front
}
no_question() { ! locate windows | grep '^#32770|' | grep -q -v -E '^#32770\|(Save As|BRXEDIT)\|'; }

click_toolbar "$ID_FILE_SAVE_AS"
wait_for_dialog "Save As"
type_file_name "$(brx_windows_path "$sample")"
wait_for 10 "the question before replacing" question_in_front
xdotool key n
# No: the question goes and the focus is back in the file name of Save As.
wait_for 10 "the question to close" no_question
wait_for 10 "the file name box of Save As after No" file_name_box_in "Save As"
expect_equal "$(hex_of "$sample")" "$original" "the file after No"

xdotool key Escape
wait_for 10 "the Save As dialog to close" no_window_titled "Save As"
expect_equal "$(hex_of "$sample")" "$original" "the file after Cancel"

click_toolbar "$ID_FILE_SAVE_AS"
wait_for_dialog "Save As"
type_file_name "$(brx_windows_path "$sample")"
wait_for 10 "the question before replacing" question_in_front
xdotool key y
wait_for 10 "the Save As dialog to close" no_window_titled "Save As"
expect_equal "$(hex_of "$sample")" "$(python3 -c 'import sys
data = bytearray.fromhex(sys.argv[1]); data[22] |= 8; print(data.hex())' "$original")" \
  "the file after Yes: the sample with Door set"
close_program
echo "PASS"
