#!/usr/bin/env bash
# Save As onto an existing file asks first: "No" keeps the dialog open and the
# file as it was, "Yes" replaces it.
source "$(dirname "$0")/e2e_lib.sh"

sample="$e2e_work/three.brx"
make_sample "$sample"
original=$(hex_of "$sample")
start_program "$(windows_path "$sample")"
wait_for 15 "the sample in the tree" test "$(locate tree-count)" = 6
click_control 1041 # Door: the document now differs from the file

# The question is a box of its own; Wine titles it "Error", Windows "Confirm Save As".
questions() { locate windows | grep '^#32770|' | grep -c -v -E '^#32770\|(Save As|BRXEDIT)\|'; }
question_shown() { test "$(questions)" -ge 1; }

click_toolbar 57604
wait_for_dialog "Save As"
type_file_name "$(windows_path "$sample")"
wait_for 10 "the question before replacing" question_shown
xdotool key n
sleep 0.5
expect_equal "$(questions)" 0 "questions after No"
window_titled "Save As" || fail "the Save As dialog closed after No"
expect_equal "$(hex_of "$sample")" "$original" "the file after No"

xdotool key Escape
wait_for 10 "the Save As dialog to close" no_window_titled "Save As"
expect_equal "$(hex_of "$sample")" "$original" "the file after Cancel"

click_toolbar 57604
wait_for_dialog "Save As"
type_file_name "$(windows_path "$sample")"
wait_for 10 "the question before replacing" question_shown
xdotool key y
wait_for 10 "the Save As dialog to close" no_window_titled "Save As"
expect_equal "$(hex_of "$sample")" "$(python3 -c 'import sys
data = bytearray.fromhex(sys.argv[1]); data[22] |= 8; print(data.hex())' "$original")" \
  "the file after Yes: the sample with Door set"
close_program
echo "PASS"
