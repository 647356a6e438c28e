#include "app/about_box.h"

#include "framework/message_map.h"
#include "res/resource.h"

namespace brx {

POINT CentredPosition(SIZE size, const RECT& over, const RECT& work) {
  LONG x = over.left + (over.right - over.left - size.cx) / 2;
  LONG y = over.top + (over.bottom - over.top - size.cy) / 2;
  if (x + size.cx > work.right) x = work.right - size.cx;
  if (y + size.cy > work.bottom) y = work.bottom - size.cy;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  return {x, y};
}

INT_PTR CAboutBox::Show(HWND owner) {
  return RunModal(IDD_ABOUTBOX, owner);
}

bool CAboutBox::ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                     LRESULT& result) {
  using Map = framework::MessageMap<CAboutBox>;
  static const Map map{
      Map::Entry::Message(WM_INITDIALOG, &CAboutBox::OnInitDialog),
      Map::Entry::Command(IDOK, &CAboutBox::OnCloseCommand),
      Map::Entry::Command(IDCANCEL, &CAboutBox::OnCloseCommand),
  };
  return map.Dispatch(*this, window, message, wparam, lparam, result);
}

LRESULT CAboutBox::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  RECT box{};
  GetWindowRect(hwnd(), &box);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT over = work;
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
  const POINT place = CentredPosition({box.right - box.left, box.bottom - box.top}, over, work);
  SetWindowPos(hwnd(), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // True: the dialog manager gives the focus to the default button, OK.
  return TRUE;
}

LRESULT CAboutBox::OnCloseCommand(WORD, WORD id, HWND, bool&) {
  EndDialog(hwnd(), id);
  return 0;
}

}  // namespace brx
