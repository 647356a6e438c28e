#include "framework/update_ui.h"

#include <commctrl.h>

namespace brx::framework {

CUpdateUIBase::CUpdateUIBase(const Entry* table) : table_(table) {
  std::size_t count = 0;
  while (table_[count].id != kEndOfTable) ++count;
  states_.assign(count, 0);
}

void CUpdateUIBase::AddToolbarElement(HWND toolbar) {
  toolbars_.push_back(toolbar);
}

WORD* CUpdateUIBase::StateOf(int id) {
  for (std::size_t i = 0; i < states_.size(); ++i) {
    if (table_[i].id == id) return &states_[i];
  }
  return nullptr;
}

WORD CUpdateUIBase::CommandState(int id) const {
  for (std::size_t i = 0; i < states_.size(); ++i) {
    if (table_[i].id == id) return states_[i];
  }
  return 0;
}

bool CUpdateUIBase::SetCommandCheck(int id, int check, bool force) {
  WORD* state = StateOf(id);
  if (!state) return true;
  const WORD kinds = table_[state - states_.data()].kinds;
  const WORD marks = kChecked | kIndeterminate;
  WORD wanted = 0;
  if (check == kCheck) wanted = kChecked;
  if (check == kCheckIndeterminate) wanted = kIndeterminate;
  if ((*state & marks) != wanted || force) {
    *state = static_cast<WORD>((*state & ~marks) | wanted | kinds);
  }
  if (*state & kinds) pending_kinds_ |= kinds;
  return true;
}

void CUpdateUIBase::ApplyMenuStates(HMENU menu) {
  if (!menu) return;
  for (std::size_t i = 0; i < states_.size(); ++i) {
    if (!(table_[i].kinds & kMenuPopupItem)) continue;
    const WORD state = states_[i];
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    if (state & kDisabled) item.fState |= MFS_GRAYED | MFS_DISABLED;
    if (state & kChecked) item.fState |= MFS_CHECKED;
    if (state & kDefault) item.fState |= MFS_DEFAULT;
    SetMenuItemInfoA(menu, table_[i].id, FALSE, &item);
  }
}

void CUpdateUIBase::ApplyToolbarStates() {
  if (!(pending_kinds_ & kToolbarButton)) return;
  for (std::size_t i = 0; i < states_.size(); ++i) {
    WORD& state = states_[i];
    if (!(table_[i].kinds & kToolbarButton) || !(state & kToolbarButton)) continue;
    const WPARAM id = table_[i].id;
    for (HWND toolbar : toolbars_) {
      SendMessageA(toolbar, TB_ENABLEBUTTON, id, MAKELONG(!(state & kDisabled), 0));
      SendMessageA(toolbar, TB_CHECKBUTTON, id, MAKELONG((state & kChecked) != 0, 0));
      SendMessageA(toolbar, TB_INDETERMINATE, id, MAKELONG((state & kIndeterminate) != 0, 0));
      SendMessageA(toolbar, TB_PRESSBUTTON, id, MAKELONG((state & kDefault) != 0, 0));
    }
    state = static_cast<WORD>(state & ~kToolbarButton);
  }
  pending_kinds_ = static_cast<WORD>(pending_kinds_ & ~kToolbarButton);
}

}  // namespace brx::framework
