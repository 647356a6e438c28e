#!/usr/bin/env bash
# "&Add Struct", "Add Tile" and "&Delete" by mouse, then Save As from the
# toolbar: the new structure and its tile are written last, and the structure
# deleted from the tree is still written.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

sample="$e2e_work/three.brx"
make_sample "$sample"
start_program "$(brx_windows_path "$sample")"
expect_shown "the sample in the tree" 6 tree-count

click_control "$IDC_ADD_STRUCT" # &Add Struct, with structure 0 selected: the new item follows it
expect_shown "items after Add Struct" 7 tree-count
expect_shown "the new structure's place after structure 0 and its tiles" 3 selected
click_control "$IDC_ADD_TILE" # Add Tile: under the new structure, which stays selected
expect_shown "items after Add Tile" 8 tree-count
expect_shown "the selection after Add Tile" 3 selected

click_tree_item 5 # structure 1 (after the new structure and its tile)
expect_shown "the selection of structure 1" 5 selected
click_control "$IDC_DELETE"
expect_shown "items after Delete" 7 tree-count

click_toolbar "$ID_FILE_SAVE_AS"
wait_for_dialog "Save As"
type_file_name "$(brx_windows_path "$e2e_work/after.brx")"
wait_for 15 "after.brx" test -s "$e2e_work/after.brx"

# What the file must hold: the three structures, then the new one, all zero
# with one zero tile.
python3 - "$BRX_SOURCE/tests/e2e/three_structures.json" "$e2e_work/expected.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
zero_tile = {"sPosRelToBase": 0, "bXPosRelToBase": 0, "bYPosRelToBase": 0,
             "Shape": [[0] * 5 for _ in range(5)], "TileFlags": 0,
             "ubVehicleHitLocation": 0, "Reserved": 0}
doc["structures"].append({"StructureNumber": 3, "Armour": 0, "HitPoints": 0, "Density": 0,
                          "Flags": [], "WallOrientation": 0, "DestructionPartner": 0,
                          "PartnerDelta": 0, "ZTileOffsetX": 0, "ZTileOffsetY": 0,
                          "Reserved": 0, "Tiles": [zero_tile]})
json.dump(doc, open(sys.argv[2], "w"))
PY
brxtool build "$(brx_windows_path "$e2e_work/expected.json")" "$(brx_windows_path "$e2e_work/expected.brx")" \
  >/dev/null || fail "could not build the expected file"
expect_equal "$(hex_of "$e2e_work/after.brx")" "$(hex_of "$e2e_work/expected.brx")" "the saved bytes"
close_program
echo "PASS"
