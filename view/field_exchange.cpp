#include "view/field_exchange.h"

#include <string>

#include "framework/message_map.h"
#include "view/beep.h"

namespace brx {
namespace {

// Text that is a decimal number and nothing else: blanks around it, a minus
// sign only for a signed field, then digits. Wine's GetDlgItemInt stops at
// the first character that is not a digit and accepts a minus sign for an
// unsigned field too (wrapping -1 to 4294967295), where Windows refuses both.
bool IsDecimalNumber(const std::string& text, bool is_signed) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string::npos) return false;
  if (is_signed && text[at] == '-') ++at;
  const std::size_t digits_end = text.find_first_not_of("0123456789", at);
  const std::size_t end = digits_end == std::string::npos ? text.size() : digits_end;
  if (end == at) return false;
  return text.find_first_not_of(' ', end) == std::string::npos;
}

std::string ControlText(HWND dialog, int control) {
  HWND edit = GetDlgItem(dialog, control);
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

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
  SetFocus(GetDlgItem(hwnd(), control));
}

bool CPropertyPane::ShowInt(int control, std::int64_t value, bool is_signed) {
  return SetDlgItemInt(hwnd(), control, static_cast<UINT>(value), is_signed) != FALSE;
}

std::uint32_t CPropertyPane::ReadInt(int control, bool is_signed, bool& converted) {
  BOOL translated = FALSE;
  const UINT value = GetDlgItemInt(hwnd(), control, &translated, is_signed);
  converted = translated && IsDecimalNumber(ControlText(hwnd(), control), is_signed);
  return converted ? value : 0;
}

bool CPropertyPane::ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                         LRESULT& result) {
  using Map = framework::MessageMap<CPropertyPane>;
  static const Map map{
      Map::Entry::Message(WM_INITDIALOG, &CPropertyPane::OnInitDialog),
  };
  return map.Dispatch(*this, window, message, wparam, lparam, result);
}

LRESULT CPropertyPane::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  ExchangeFields(ExchangeDirection::kLoad);
  // 0: the dialog manager sets no focus, so the keyboard stays where it was.
  return 0;
}

}  // namespace brx
