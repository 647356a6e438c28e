#!/usr/bin/env bash
# Soak test: seeded random clicks and keys into the running editor for a
# while (buttons, tree items, pane fields with random text, check boxes,
# menus, toolbar, file dialogs and boxes closed again), then Save As. The
# program must neither crash nor hang, and the saved file must pass
# `brxtool check`. The same seed gives the same actions.
#
# Usage: scripts/soak.sh MINUTES SEED   (MINUTES may be a fraction: 0.33)
# BRX_BUILD: the cross build tree with brxedit.exe, brxtool.exe and
# locate.exe (default build/win64). Runs on $DISPLAY, or a private Xvfb.
set -u
[ $# -eq 2 ] || { echo "usage: $0 MINUTES SEED" >&2; exit 2; }
minutes=$1
seed=$2
BRX_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BRX_BUILD=${BRX_BUILD:-$BRX_SOURCE/build/win64}
export BRX_SOURCE BRX_BUILD
# shellcheck source=tests/e2e/e2e_lib.sh
source "$BRX_SOURCE/tests/e2e/e2e_lib.sh"
e2e_name="soak-$seed"

RANDOM=$seed
pick() { local -a items=("$@"); echo "${items[RANDOM % ${#items[@]}]}"; }
random_text() {
  local length=$((RANDOM % 6)) text="" i
  for ((i = 0; i < length; i++)); do text+=$(pick 0 1 2 3 4 5 6 7 8 9 - x 9 0); done
  echo "$text"
}

# The ids of the controls a pane can show: structure fields and flags, tile
# fields, flags and shape cells.
pane_fields=("$IDC_ARMOUR" "$IDC_HIT_POINTS" "$IDC_DENSITY" "$IDC_WALL_ORIENTATION"
  "$IDC_DESTRUCTION_PARTNER" "$IDC_PARTNER_DELTA" "$IDC_Z_TILE_OFFSET_X" "$IDC_Z_TILE_OFFSET_Y"
  "$IDC_S_POS_REL_TO_BASE" "$IDC_B_X_POS_REL_TO_BASE" "$IDC_B_Y_POS_REL_TO_BASE"
  "$IDC_UB_VEHICLE_HIT_LOCATION" "$IDC_FIRST_SHAPE_CELL" $((IDC_FIRST_SHAPE_CELL + 6))
  "$IDC_LAST_SHAPE_CELL")
pane_boxes=("$IDC_TILE_ON_ROOF" "$IDC_TILE_PASSABLE" "$IDC_FIRST_FLAG" $((IDC_FIRST_FLAG + 1))
  $((IDC_FIRST_FLAG + 7)) $((IDC_FIRST_FLAG + 13)) $((IDC_FIRST_FLAG + 19))
  $((IDC_FIRST_FLAG + 25)) "$IDC_LAST_FLAG")

# Closes what an action left open: a file dialog, a message or question, the
# About box, an open menu.
tidy_up() {
  local windows
  windows=$(locate windows)
  if grep -q '^#32770|' <<<"$windows"; then
    xdotool key Escape
    sleep 0.3
    grep -q '^#32770|BRXEDIT|' <<<"$windows" && xdotool key Return
    sleep 0.2
  fi
  if grep -q '^#32768|' <<<"$windows"; then xdotool key Escape Escape; fi
}

# The X focus to the frame, without waiting for it to take it: an action may
# have left a dialog in front, which is the soak's business.
x_focus_frame() { xdotool windowfocus --sync "$e2e_frame_xid" 2>/dev/null; }

# Clicks what locate finds; a target that is not shown (a hidden toolbar, a
# field of the other pane) is skipped.
try_click() {
  local place
  # shellcheck disable=SC2086 # four numbers, split into click_rect's arguments
  place=$(locate "$@") && [ -n "$place" ] && click_rect $place
  return 0
}

act() {
  case $((RANDOM % 12)) in
    0) try_click control "$(pick "$IDC_ADD_STRUCT" "$IDC_ADD_STRUCT" "$IDC_ADD_TILE" "$IDC_DELETE")" ;;
    1 | 2)
      local count
      count=$(locate tree-count)
      [ "${count:-0}" -gt 0 ] && try_click tree-item $((RANDOM % count))
      ;;
    3 | 4)
      local field
      field=$(locate control "$(pick "${pane_fields[@]}")") || return 0
      # shellcheck disable=SC2086 # as in try_click
      click_rect $field
      xdotool key ctrl+a BackSpace
      xdotool type --delay 10 -- "$(random_text)"
      ;;
    5)
      local box
      box=$(locate control "$(pick "${pane_boxes[@]}")") || return 0
      # shellcheck disable=SC2086 # as in try_click
      click_rect $box
      ;;
    6) xdotool key "$(pick Tab shift+Tab Up Down space Return Escape Home End)" ;;
    # Menus are opened and moved through, never walked down to an item: the
    # soak must not choose File > Exit.
    7) try_click menubar-button "$(pick 0 1 2)"; sleep 0.2; xdotool key "$(pick Escape Right Left)" ;;
    8) x_focus_frame; xdotool key "$(pick ctrl+o ctrl+s alt+a alt+d ctrl+c ctrl+z)" ;;
    9) try_click toolbar-button "$(pick "$ID_FILE_OPEN" "$ID_FILE_SAVE_AS" "$ID_FILE_SAVE_AS")" ;;
    10) x_focus_frame; xdotool key alt+v; sleep 0.2; xdotool key "$(pick t s Escape)" ;;
    11) [ $((RANDOM % 10)) -eq 0 ] && try_click toolbar-button "$ID_FILE_NEW" ;;
  esac
  return 0
}

sample="$e2e_work/three.brx"
make_sample "$sample"
# The program's own time limit: the soak, and time for the final save.
BRX_PROGRAM_TIMEOUT=$(python3 -c "print(int(float('$minutes') * 60) + 180)")
export BRX_PROGRAM_TIMEOUT
start_program "$(brx_windows_path "$sample")"

end=$((SECONDS + $(python3 -c "print(int(float('$minutes') * 60))")))
actions=0
while [ "$SECONDS" -lt "$end" ]; do
  act
  sleep 0.1
  tidy_up
  actions=$((actions + 1))
  if ! kill -0 "$e2e_program_pid" 2>/dev/null; then
    code=0
    wait "$e2e_program_pid" || code=$?
    e2e_program_pid=""
    tail -40 "$e2e_work/program.out" >&2
    fail "brxedit.exe ended with exit code $code after $actions actions"
  fi
  locate tree-count >/dev/null || fail "brxedit.exe does not answer after $actions actions"
done

# Save As from the menu (the random View toggles may have hidden the
# toolbar). A field left with text that does not convert stops the save with
# a message and then holds the focus: it gets a 0, and the save is tried
# again, once for each such field.
saved_or_refused() { [ -s "$e2e_work/soak.brx" ] || message_shown; }
focus_in_field() { locate focus | grep -q '^Edit|BRXEDIT|'; }
for ((tries = 0; ; tries++)); do
  tidy_up
  focus_frame
  open_menu_with click_menubar 0
  xdotool key a
  wait_for_dialog "Save As"
  type_file_name "$(brx_windows_path "$e2e_work/soak.brx")"
  wait_for 15 "soak.brx or the message why not" saved_or_refused
  [ -s "$e2e_work/soak.brx" ] && break
  [ "$tries" -lt 20 ] || fail "the save was still stopped after 20 fields set to 0"
  wait_for_message
  xdotool key Return
  wait_for 10 "the focus on the field that stopped the save" focus_in_field
  xdotool key ctrl+a
  xdotool type 0
done
check=$(brxtool check "$(brx_windows_path "$e2e_work/soak.brx")") || fail "brxtool check: $check"
close_program
echo "soak: seed $seed, $minutes minutes, $actions actions survived; fields set to 0 before the save went through: $tries; the saved file passes brxtool check"
