#include "framework/menu_bar.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/fatal_error.h"
#include "framework/menu_bar_tracking.h"
#include "framework/window.h"

namespace brx::framework {
namespace {

// Posted to the bar: open popup wparam, from the keyboard when lparam is 1.
UINT OpenPopupMessage() {
  static const UINT message = RegisterWindowMessageA("BrxMenuBar.OpenPopup");
  return message;
}

// Bit 30 of a key message: the key was down before (auto-repeat).
constexpr LPARAM kKeyWasDown = 1 << 30;

bool IsDown(int key) {
  return GetKeyState(key) < 0;
}

}  // namespace

CMenuBar::~CMenuBar() {
  // The bar's last message detaches it; detaching again covers a bar whose
  // window is gone without it.
  if (bar_) DestroyWindow(bar_);
  Detach();
  if (menu_) {
    images_.RemoveFrom(menu_);
    DestroyMenu(menu_);
  }
}

HWND CMenuBar::Create(HWND parent, DWORD style) {
  if (bar_ || !parent) return nullptr;
  HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, parent, nullptr,
                             ResourceInstance(), nullptr);
  if (!bar) return nullptr;
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // Text only: no room kept for images beside the labels.
  SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));

  bar_ = bar;
  frame_ = GetAncestor(parent, GA_ROOT);
  buttons_ = MenuBarButtons(bar);
  const auto self = reinterpret_cast<DWORD_PTR>(this);
  const auto id = reinterpret_cast<UINT_PTR>(this);
  if (!SetWindowSubclass(bar_, BarProcedure, id, self) ||
      !SetWindowSubclass(frame_, FrameProcedure, id, self) || !AddMessagePreviewer(this)) {
    Detach();
    DestroyWindow(bar);
    return nullptr;
  }
  if (menu_) buttons_.Fill(menu_);
  return bar;
}

bool CMenuBar::AttachMenu(HMENU menu) {
  if (!IsMenu(menu)) return false;
  if (menu_ && menu_ != menu) {
    images_.RemoveFrom(menu_);
    DestroyMenu(menu_);
  }
  menu_ = menu;
  images_.ApplyTo(menu_);
  return bar_ && buttons_.Fill(menu_);
}

bool CMenuBar::LoadImages(int toolbar_resource_id) {
  if (menu_) images_.RemoveFrom(menu_);
  const bool loaded = images_.Load(ResourceInstance(), toolbar_resource_id);
  if (menu_) images_.ApplyTo(menu_);
  return loaded;
}

bool CMenuBar::PreviewMessage(const MSG& message) {
  // Inside the menu loop the popups have the keys; outside the frame they
  // belong to someone else.
  if (tracking_ || !IsInFrame(message.hwnd)) return false;
  switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return PreviewKeyDown(message);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return PreviewKeyUp(message.wParam);
    case WM_SYSCHAR:
      return OpenByMnemonic(static_cast<char>(message.wParam));
    case WM_CHAR:
      return highlighted_ && OpenByMnemonic(static_cast<char>(message.wParam));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      alt_alone_ = false;
      if (message.hwnd != bar_) EndHighlight(true);
      return false;
    default:
      return false;
  }
}

bool CMenuBar::PreviewKeyDown(const MSG& message) {
  const WPARAM key = message.wParam;
  if (key == VK_MENU) {
    // Alt belongs to the bar alone. Default processing must not see it:
    // with no menu on the frame it would start the system menu on release.
    // With Ctrl down it is AltGr (Ctrl+Alt), a key for typing characters.
    if (!(message.lParam & kKeyWasDown)) alt_alone_ = !IsDown(VK_CONTROL);
    return true;
  }
  alt_alone_ = false;
  if (key == VK_F10 && !(message.lParam & kKeyWasDown) && !IsDown(VK_SHIFT) &&
      !IsDown(VK_CONTROL)) {
    ToggleHighlight();
    return true;
  }
  if (!highlighted_) return false;
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      BeginHighlight(buttons_.Neighbour(HotButton(), key == VK_LEFT ? -1 : +1));
      return true;
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN:
      PostOpen(HotButton(), true);
      return true;
    case VK_ESCAPE:
      EndHighlight(true);
      return true;
    default:
      return false;
  }
}

bool CMenuBar::PreviewKeyUp(WPARAM key) {
  if (key != VK_MENU || !alt_alone_) return false;
  alt_alone_ = false;
  ToggleHighlight();
  return true;
}

bool CMenuBar::OpenByMnemonic(char character) {
  const int button = buttons_.FindMnemonic(character);
  if (button < 0) return false;
  PostOpen(button, true);
  return true;
}

void CMenuBar::ToggleHighlight() {
  if (highlighted_)
    EndHighlight(true);
  else
    BeginHighlight(0);
}

void CMenuBar::BeginHighlight(int button) {
  if (buttons_.Count() == 0) return;
  if (!highlighted_) {
    focus_before_ = GetFocus();
    highlighted_ = true;
    SetFocus(bar_);
  }
  buttons_.SetHot(button);
  buttons_.ReportHighlight(frame_, button);
  GetCursorPos(&resting_mouse_);
}

void CMenuBar::EndHighlight(bool restore_focus) {
  if (!highlighted_) return;
  // Cleared first: giving the focus away comes back here as WM_KILLFOCUS.
  highlighted_ = false;
  buttons_.SetHot(-1);
  buttons_.ReportHighlight(frame_, -1);
  if (restore_focus && GetFocus() == bar_)
    SetFocus(IsWindow(focus_before_) ? focus_before_ : frame_);
  focus_before_ = nullptr;
}

int CMenuBar::HotButton() const {
  const int hot = buttons_.Hot();
  return hot >= 0 ? hot : 0;
}

void CMenuBar::PostOpen(int button, bool from_keyboard) {
  PostMessageA(bar_, OpenPopupMessage(), button, from_keyboard);
}

void CMenuBar::OpenPopups(int button, bool from_keyboard) {
  if (tracking_ || button < 0 || button >= buttons_.Count()) return;
  tracking_ = true;
  const PopupTracker::Outcome outcome = PopupTracker(buttons_, frame_).Run(button, from_keyboard);
  tracking_ = false;
  // Escape leaves the way back to the other popups open, as a menu bar does.
  if (outcome.escaped) {
    BeginHighlight(outcome.last_button);
    return;
  }
  EndHighlight(true);
  // The menu had the mouse captured, so the toolbar never saw it leave the
  // button it was over when the popup opened.
  buttons_.SetHot(-1);
}

bool CMenuBar::IsInFrame(HWND window) const {
  return window && (window == frame_ || IsChild(frame_, window));
}

void CMenuBar::Detach() {
  RemoveMessagePreviewer(this);
  const auto id = reinterpret_cast<UINT_PTR>(this);
  if (frame_) RemoveWindowSubclass(frame_, FrameProcedure, id);
  if (bar_) RemoveWindowSubclass(bar_, BarProcedure, id);
  bar_ = nullptr;
  frame_ = nullptr;
  buttons_ = MenuBarButtons();
  highlighted_ = false;
  alt_alone_ = false;
  focus_before_ = nullptr;
}

bool CMenuBar::OnBarMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == OpenPopupMessage()) {
    OpenPopups(static_cast<int>(wparam), lparam != 0);
    return true;
  }
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      ClientToScreen(bar_, &point);
      const int button = buttons_.HitTest(point);
      if (button < 0) return false;
      OpenPopups(button, false);
      return true;
    }
    case WM_MOUSEMOVE: {
      // While the keyboard leads, only a real move gives the hot button to
      // the mouse: the system also sends moves to a resting cursor when
      // windows (a closing popup) come and go under it.
      if (!highlighted_) return false;
      POINT cursor{};
      GetCursorPos(&cursor);
      if (cursor.x == resting_mouse_.x && cursor.y == resting_mouse_.y) return true;
      resting_mouse_ = cursor;
      return false;
    }
    case WM_MOUSELEAVE:
      // The system notices late that the mouse has gone (it looks on a
      // timer), often after the keyboard or an open popup has made a button
      // hot: that button stays hot.
      return highlighted_ || tracking_;
    case WM_KILLFOCUS:
      // Alt let go after the focus has left the bar is not Alt alone: it
      // would highlight the bar again.
      alt_alone_ = false;
      if (!tracking_) EndHighlight(false);
      return false;
    case WM_NCDESTROY:
      Detach();
      return false;
    default:
      return false;
  }
}

bool CMenuBar::OnFrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_ACTIVATE:
      // Alt pressed here and let go after a visit to another window is not
      // Alt alone.
      if (LOWORD(wparam) == WA_INACTIVE) alt_alone_ = false;
      return false;
    // The popups' owner draws the images of their items.
    case WM_MEASUREITEM:
      result = TRUE;
      return images_.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
    case WM_DRAWITEM:
      result = TRUE;
      return images_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) != SC_KEYMENU || tracking_) return false;
      result = 0;
      // lparam is the character of Alt+character; 0 for Alt or F10 alone.
      if (lparam == 0) {
        ToggleHighlight();
        return true;
      }
      return OpenByMnemonic(static_cast<char>(lparam));
    default:
      return false;
  }
}

LRESULT CALLBACK CMenuBar::BarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR self) {
  auto* bar = reinterpret_cast<CMenuBar*>(self);
  if (CatchAtBoundary([&] { return bar->OnBarMessage(message, wparam, lparam); })) return 0;
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK CMenuBar::FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR, DWORD_PTR self) {
  auto* bar = reinterpret_cast<CMenuBar*>(self);
  LRESULT result = 0;
  if (CatchAtBoundary([&] { return bar->OnFrameMessage(message, wparam, lparam, result); }))
    return result;
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace brx::framework
