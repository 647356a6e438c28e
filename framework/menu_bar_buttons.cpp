#include "framework/menu_bar_buttons.h"

#include <commctrl.h>

#include <string>

namespace brx::framework {
namespace {

// Toolbar command ids of the buttons; the index is added. They never reach
// anyone: the bar opens popups itself and sends no commands.
constexpr int kFirstButtonCommand = 1;

char UpperCase(char character) {
  CharUpperBuffA(&character, 1);
  return character;
}

}  // namespace

char MnemonicOf(const char* text) {
  for (; *text; ++text) {
    if (*text != '&') continue;
    ++text;
    if (*text != '&') return UpperCase(*text);
  }
  return 0;
}

bool MenuBarButtons::Fill(HMENU menu) {
  while (SendMessageA(toolbar_, TB_DELETEBUTTON, 0, 0)) {
  }
  menu_ = nullptr;
  popups_.clear();
  positions_.clear();
  mnemonics_.clear();
  const int items = GetMenuItemCount(menu);
  if (items < 0) return false;

  std::vector<std::string> labels;
  for (int position = 0; position < items; ++position) {
    HMENU popup = GetSubMenu(menu, position);
    if (!popup) continue;
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    labels.emplace_back(text);
    popups_.push_back(popup);
    positions_.push_back(static_cast<UINT>(position));
    mnemonics_.push_back(MnemonicOf(text));
  }

  std::vector<TBBUTTON> buttons(popups_.size());
  for (size_t i = 0; i < buttons.size(); ++i) {
    buttons[i].iBitmap = I_IMAGENONE;
    buttons[i].idCommand = kFirstButtonCommand + static_cast<int>(i);
    buttons[i].fsState = TBSTATE_ENABLED;
    // Without TBSTYLE_EX_DRAWDDARROWS a drop-down button draws no arrow.
    buttons[i].fsStyle = BTNS_BUTTON | BTNS_DROPDOWN | BTNS_AUTOSIZE;
    buttons[i].iString = reinterpret_cast<INT_PTR>(labels[i].c_str());
  }
  if (!buttons.empty() && !SendMessageA(toolbar_, TB_ADDBUTTONSA, buttons.size(),
                                        reinterpret_cast<LPARAM>(buttons.data()))) {
    popups_.clear();
    positions_.clear();
    mnemonics_.clear();
    return false;
  }
  menu_ = menu;
  return true;
}

int MenuBarButtons::Neighbour(int index, int step) const {
  const int count = Count();
  return count == 0 ? -1 : ((index + step) % count + count) % count;
}

int MenuBarButtons::FindMnemonic(char character) const {
  const char wanted = UpperCase(character);
  for (int i = 0; i < Count(); ++i) {
    if (mnemonics_[i] != 0 && mnemonics_[i] == wanted) return i;
  }
  return -1;
}

int MenuBarButtons::HitTest(POINT screen) const {
  POINT point = screen;
  RECT client{};
  if (!ScreenToClient(toolbar_, &point) || !GetClientRect(toolbar_, &client) ||
      !PtInRect(&client, point)) {
    return -1;
  }
  const auto index =
      static_cast<int>(SendMessageA(toolbar_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  return index >= 0 && index < Count() ? index : -1;
}

RECT MenuBarButtons::ScreenRect(int index) const {
  RECT rect{};
  SendMessageA(toolbar_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(toolbar_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void MenuBarButtons::SetPressed(int index, bool pressed) const {
  SendMessageA(toolbar_, TB_PRESSBUTTON, kFirstButtonCommand + index, MAKELPARAM(pressed, 0));
}

int MenuBarButtons::Hot() const {
  return static_cast<int>(SendMessageA(toolbar_, TB_GETHOTITEM, 0, 0));
}

void MenuBarButtons::SetHot(int index) const {
  SendMessageA(toolbar_, TB_SETHOTITEM, index, 0);
}

void MenuBarButtons::ReportHighlight(HWND owner, int index) const {
  if (index < 0) {
    SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    return;
  }
  SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(positions_[index], MF_POPUP | MF_HILITE),
               reinterpret_cast<LPARAM>(menu_));
}

}  // namespace brx::framework
