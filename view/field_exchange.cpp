#include "view/field_exchange.h"

#include <optional>

#include "framework/message_map.h"
#include "framework/private_messages.h"
#include "model/number_text.h"
#include "view/beep.h"

namespace brx {
namespace {

std::string TextOf(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsLabel(HWND window) {
  char name[8] = "";
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "Static") == 0 && GetWindowTextLengthA(window) > 0;
}

}  // namespace

void FocusField(HWND pane, int control) {
  HWND edit = GetDlgItem(pane, control);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
}

void CPropertyPane::ExchangeCheck(int control, int& check, ExchangeDirection direction) {
  HWND box = GetDlgItem(hwnd(), control);
  if (direction == ExchangeDirection::kStore) {
    check = static_cast<int>(SendMessageA(box, BM_GETCHECK, 0, 0));
    return;
  }
  if (check < BST_UNCHECKED || check > BST_INDETERMINATE) check = BST_UNCHECKED;
  SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(check), 0);
}

void CPropertyPane::ReportExchangeFailure(int control) {
  SimpleBeep();
  FocusField(hwnd(), control);
  PostMessageA(hwnd(), kFocusFieldMessage, static_cast<WPARAM>(control), 0);
}

// Each edit box of a form stands right after its label in the tab order;
// the tile pane's shape cells share the one label before the grid.
std::string CPropertyPane::FieldName(int control) const {
  for (HWND window = GetWindow(GetDlgItem(hwnd(), control), GW_HWNDPREV); window;
       window = GetWindow(window, GW_HWNDPREV)) {
    if (IsLabel(window)) return TextOf(window);
  }
  return std::string();
}

FieldFailure CPropertyPane::Failure(int control) const {
  return {hwnd(), control, FieldName(control), TextOf(GetDlgItem(hwnd(), control))};
}

bool CPropertyPane::ShowInt(int control, std::int64_t value, bool is_signed) {
  return SetDlgItemInt(hwnd(), control, static_cast<UINT>(value), is_signed) != FALSE;
}

// Not GetDlgItemInt: Wine's reads only the first 29 characters, takes a
// minus sign in an unsigned field, and after one overflow refuses in-range
// values for the rest of the process.
std::uint32_t CPropertyPane::ReadInt(int control, IntKind kind, bool& converted) {
  const std::optional<std::uint32_t> number = FormNumber(TextOf(GetDlgItem(hwnd(), control)), kind);
  converted = number.has_value();
  return number.value_or(0);
}

bool CPropertyPane::ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                         LRESULT& result) {
  using Map = framework::MessageMap<CPropertyPane>;
  static const Map map{
      Map::Entry::Message(WM_INITDIALOG, &CPropertyPane::OnInitDialog),
      Map::Entry::Message(kFocusFieldMessage, &CPropertyPane::OnFocusField),
  };
  return map.Dispatch(*this, window, message, wparam, lparam, result);
}

LRESULT CPropertyPane::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  if (const auto failure = ExchangeFields(ExchangeDirection::kLoad))
    ReportExchangeFailure(failure->control);
  // 0: the dialog manager sets no focus, so the keyboard stays where it was.
  return 0;
}

LRESULT CPropertyPane::OnFocusField(UINT, WPARAM wparam, LPARAM, bool&) {
  FocusField(hwnd(), static_cast<int>(wparam));
  return 0;
}

}  // namespace brx
