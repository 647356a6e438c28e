#include "framework/menu_bar_tracking.h"

#include <algorithm>
#include <cstring>

#include "framework/fatal_error.h"

namespace brx::framework {
namespace {

// Menus do not nest, so a thread has at most one tracker running; the hooks
// find it here.
thread_local PopupTracker* active_tracker = nullptr;

bool IsMenuWindow(HWND window) {
  char name[16] = {};
  return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, "#32768") == 0;
}

class ScopedHook {
 public:
  ScopedHook(int type, HOOKPROC procedure)
      : hook_(SetWindowsHookExA(type, procedure, nullptr, GetCurrentThreadId())) {}
  ScopedHook(const ScopedHook&) = delete;
  ScopedHook& operator=(const ScopedHook&) = delete;
  ~ScopedHook() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }

 private:
  HHOOK hook_;
};

}  // namespace

PopupTracker::Outcome PopupTracker::Run(int button, bool select_first_item) {
  active_tracker = this;
  {
    // The menu loop shows its messages to WH_MSGFILTER (MSGF_MENU) before
    // acting on them; WH_CBT sees its menu windows come and go.
    const ScopedHook menu_messages(WH_MSGFILTER, MenuMessageHook);
    const ScopedHook menu_windows(WH_CBT, CreationHook);
    next_ = {button, select_first_item};
    while (next_.button >= 0) {
      const Request request = next_;
      next_ = {};
      TrackOne(request);
    }
  }
  active_tracker = nullptr;
  return {current_, escaped_};
}

void PopupTracker::TrackOne(const Request& request) {
  current_ = request.button;
  escaped_ = false;
  menu_windows_.clear();
  GetCursorPos(&last_mouse_);
  const RECT button = buttons_.ScreenRect(current_);
  TPMPARAMS params{sizeof params, button};
  // The menu loop takes this for the user's Down key and highlights the first item.
  if (request.select_first_item) PostMessageA(owner_, WM_KEYDOWN, VK_DOWN, 0);
  // Hot as well as pressed: the mouse is captured by the menu, so the
  // toolbar would keep the button the popups started from hot.
  buttons_.SetHot(current_);
  buttons_.SetPressed(current_, true);
  // The menu reports its items, not the title it hangs from: a popup open
  // with nothing chosen yet shows the title's (empty) help.
  buttons_.ReportHighlight(owner_, current_);
  const BOOL shown = TrackPopupMenuEx(buttons_.Popup(current_),
                                      TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON,
                                      button.left, button.bottom, owner_, &params);
  buttons_.SetPressed(current_, false);
  if (!shown && request.select_first_item) {
    MSG unused;
    PeekMessageA(&unused, owner_, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
  }
}

void PopupTracker::SwitchTo(int button, bool select_first_item) {
  next_ = {button, select_first_item};
  EndMenu();
}

bool PopupTracker::Filter(const MSG& message) {
  switch (message.message) {
    case WM_KEYDOWN:
      return FilterKey(message.wParam);
    case WM_MOUSEMOVE: {
      // The cursor's position now, not the message's: moves also come late
      // (Wine turns the X server's motion events after a warp into moves
      // with the position of then) and when the capture changes without any
      // movement. Only a real move onto another button switches popups.
      POINT cursor{};
      GetCursorPos(&cursor);
      if (cursor.x == last_mouse_.x && cursor.y == last_mouse_.y) return false;
      last_mouse_ = cursor;
      const int button = buttons_.HitTest(cursor);
      if (button < 0 || button == current_) return false;
      SwitchTo(button, false);
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int button = buttons_.HitTest(message.pt);
      if (button < 0) return false;
      // The open popup's own button closes it; another button opens its popup.
      SwitchTo(button == current_ ? -1 : button, false);
      return true;
    }
    default:
      return false;
  }
}

bool PopupTracker::FilterKey(WPARAM key) {
  const bool top_level = menu_windows_.size() <= 1;
  switch (key) {
    case VK_LEFT:
      // Inside a submenu, Left closes that submenu: the menu's own business.
      if (!top_level) return false;
      SwitchTo(buttons_.Neighbour(current_, -1), true);
      return true;
    case VK_RIGHT:
      if (HighlightedItemOpensSubmenu()) return false;
      SwitchTo(buttons_.Neighbour(current_, +1), true);
      return true;
    case VK_ESCAPE:
      escaped_ = top_level;
      return false;
    default:
      return false;
  }
}

bool PopupTracker::HighlightedItemOpensSubmenu() const {
  if (menu_windows_.empty()) return false;
  auto* menu = reinterpret_cast<HMENU>(SendMessageA(menu_windows_.back(), MN_GETHMENU, 0, 0));
  const int items = GetMenuItemCount(menu);
  for (int position = 0; position < items; ++position) {
    if (GetMenuState(menu, position, MF_BYPOSITION) & MF_HILITE)
      return GetSubMenu(menu, position) != nullptr;
  }
  return false;
}

LRESULT CALLBACK PopupTracker::MenuMessageHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_MENU && active_tracker) {
    const bool used = CatchAtBoundary(
        [&] { return active_tracker->Filter(*reinterpret_cast<const MSG*>(lparam)); });
    if (used) return TRUE;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK PopupTracker::CreationHook(int code, WPARAM wparam, LPARAM lparam) {
  if (active_tracker) {
    auto* window = reinterpret_cast<HWND>(wparam);
    CatchAtBoundary([&] {
      std::vector<HWND>& windows = active_tracker->menu_windows_;
      if (code == HCBT_CREATEWND && IsMenuWindow(window))
        windows.push_back(window);
      else if (code == HCBT_DESTROYWND)
        windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    });
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace brx::framework
