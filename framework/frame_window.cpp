#include "framework/frame_window.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>

#include "framework/message_map.h"

namespace brx::framework {
namespace {

int WindowHeight(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

bool IsShown(HWND window) {
  return window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE);
}

// The tooltip is the part of the command's string after the first line break.
template <typename DispInfo, typename Char, typename LoadString, typename FindChar>
void FillToolTip(DispInfo* info, LoadString load, FindChar find) {
  info->szText[0] = 0;
  const UINT_PTR id = info->hdr.idFrom;
  if (id == 0 || (info->uFlags & TTF_IDISHWND)) return;
  Char text[256] = {};
  const int length = load(ResourceInstance(), static_cast<UINT>(id), text, 256);
  if (const Char* line_break = find(text, Char('\n'))) {
    const Char* tip = line_break + 1;
    std::size_t count = 0;
    const std::size_t room = sizeof info->szText / sizeof info->szText[0] - 1;
    while (count < room && tip[count]) {
      info->szText[count] = tip[count];
      ++count;
    }
    info->szText[count] = 0;
    info->lpszText = info->szText;
  }
  if (length > 0) info->uFlags |= TTF_DI_SETITEM;
}

}  // namespace

WORD MenuHelpStringId(WORD item_id) {
  if (item_id >= 0xF000 && item_id <= 0xF1EF)
    return static_cast<WORD>(0xEF00 + (item_id - 0xF000) / 16);
  if (item_id >= 0xE110 && item_id <= 0xE11F) return 0xEFDA;
  if (item_id >= 0xFF00) return 0xEF1F;
  return item_id;
}

void CFrameWindowBase::LayoutChildren(bool resize_bars) {
  RECT rect{};
  GetClientRect(hwnd(), &rect);
  if (IsShown(toolbarHost_)) {
    if (resize_bars) SendMessageA(toolbarHost_, WM_SIZE, 0, 0);
    rect.top += WindowHeight(toolbarHost_);
  }
  if (IsShown(statusBar_)) {
    if (resize_bars) SendMessageA(statusBar_, WM_SIZE, 0, 0);
    rect.bottom -= WindowHeight(statusBar_);
  }
  if (client_) {
    SetWindowPos(client_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool CFrameWindowBase::ProcessFrameMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                           LRESULT& result) {
  using Map = MessageMap<CFrameWindowBase>;
  static const Map map{
      Map::Entry::Message(WM_SIZE, &CFrameWindowBase::OnSize),
      Map::Entry::Notify(RBN_AUTOSIZE, &CFrameWindowBase::OnRebarAutoSize),
      Map::Entry::Message(WM_ERASEBKGND, &CFrameWindowBase::OnEraseBackground),
      Map::Entry::Message(WM_MENUSELECT, &CFrameWindowBase::OnMenuSelect),
      Map::Entry::Message(WM_SETFOCUS, &CFrameWindowBase::OnSetFocus),
      Map::Entry::Message(WM_DESTROY, &CFrameWindowBase::OnDestroy),
      Map::Entry::Notify(TTN_GETDISPINFOA, &CFrameWindowBase::OnToolTipTextA),
      Map::Entry::Notify(TTN_GETDISPINFOW, &CFrameWindowBase::OnToolTipTextW),
  };
  return map.Dispatch(*this, window, message, wparam, lparam, result);
}

LRESULT CFrameWindowBase::OnSize(UINT, WPARAM wparam, LPARAM, bool& handled) {
  // A minimised frame keeps its children where they were; restoring lays out.
  if (wparam != SIZE_MINIMIZED) LayoutChildren(true);
  handled = false;
  return 1;
}

LRESULT CFrameWindowBase::OnRebarAutoSize(int, NMHDR*, bool&) {
  // The rebar has already sized itself; only the client has to follow.
  LayoutChildren(false);
  return 0;
}

LRESULT CFrameWindowBase::OnEraseBackground(UINT, WPARAM, LPARAM, bool& handled) {
  // The client covers the area between the bars: erasing it would flicker.
  if (!client_) handled = false;
  return 1;
}

LRESULT CFrameWindowBase::OnMenuSelect(UINT, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = false;
  if (!statusBar_) return 0;
  const WORD flags = HIWORD(wparam);
  if (flags == 0xFFFF && lparam == 0) {
    // The menu closed: the normal parts, and with them "Ready", come back.
    SendMessageA(statusBar_, SB_SIMPLE, FALSE, 0);
    return 1;
  }
  char text[256] = {};
  if (!(flags & MF_POPUP)) {
    LoadStringA(ResourceInstance(), MenuHelpStringId(LOWORD(wparam)), text, sizeof text);
    if (char* line_break = std::strchr(text, '\n')) *line_break = 0;
  }
  SendMessageA(statusBar_, SB_SIMPLE, TRUE, 0);
  SendMessageA(statusBar_, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
  return 1;
}

LRESULT CFrameWindowBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
  if (client_ && IsWindowVisible(client_)) SetFocus(client_);
  handled = false;
  return 0;
}

LRESULT CFrameWindowBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  // Only a top-level frame ends the program with its window.
  const LONG_PTR style = GetWindowLongPtrA(hwnd(), GWL_STYLE);
  if (!(style & (WS_CHILD | WS_POPUP))) PostQuitMessage(1);
  handled = false;
  return 0;
}

LRESULT CFrameWindowBase::OnToolTipTextA(int, NMHDR* header, bool&) {
  FillToolTip<NMTTDISPINFOA, char>(reinterpret_cast<NMTTDISPINFOA*>(header), LoadStringA,
                                   [](const char* s, char c) { return std::strchr(s, c); });
  return 0;
}

LRESULT CFrameWindowBase::OnToolTipTextW(int, NMHDR* header, bool&) {
  FillToolTip<NMTTDISPINFOW, wchar_t>(
      reinterpret_cast<NMTTDISPINFOW*>(header), LoadStringW,
      [](const wchar_t* s, wchar_t c) { return std::wcschr(s, c); });
  return 0;
}

}  // namespace brx::framework
