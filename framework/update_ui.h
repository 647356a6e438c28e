// The command-state table: the state each command's menu items and toolbar
// buttons should show, kept in one place and written to them when they are
// next seen (a popup's items as it opens, toolbar buttons on the idle pass).
#pragma once

#include <windows.h>

#include <vector>

namespace brx::framework {

class CUpdateUIBase {
 public:
  // Where a command is shown. Each entry's kinds double as its pending bits.
  enum Kind : WORD { kMenuPopupItem = 0x0001, kToolbarButton = 0x0008 };
  // The state word of an entry.
  enum State : WORD {
    kDisabled = 0x0100,
    kChecked = 0x0200,
    kIndeterminate = 0x0400,
    kDefault = 0x1000,
  };
  // The check values of SetCommandCheck.
  enum Check { kUncheck = 0, kCheck = 1, kCheckIndeterminate = 2 };

  struct Entry {
    WORD id;
    WORD kinds;
  };
  static constexpr WORD kEndOfTable = 0xFFFF;

  // `table` lives as long as the object and ends with an id of kEndOfTable.
  explicit CUpdateUIBase(const Entry* table);

  // A toolbar whose buttons ApplyToolbarStates keeps in step.
  void AddToolbarElement(HWND toolbar);

  // Sets the command's check state; pending where it changed (or always when
  // forced). A command without an entry is left alone.
  bool SetCommandCheck(int id, int check, bool force);
  // The state word of the command's entry, pending bits included; 0 without one.
  WORD CommandState(int id) const;

  // Writes every menu entry's state to the item with that command in `menu`
  // (looked up by command; items not in this popup are not found).
  void ApplyMenuStates(HMENU menu);
  // Writes the pending toolbar entries' states to the buttons of every
  // registered toolbar and clears what was pending for toolbars.
  void ApplyToolbarStates();

 private:
  WORD* StateOf(int id);

  const Entry* table_;
  std::vector<WORD> states_;
  WORD pending_kinds_ = 0;
  std::vector<HWND> toolbars_;
};

}  // namespace brx::framework
