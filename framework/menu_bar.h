// The menu bar control: a flat toolbar that shows the top-level popups of a
// menu as drop-down buttons, for a frame window that has no menu of its own.
//
// Mouse: a click on a button opens its popup under it; while a popup is open,
// moving onto another button opens that one's instead, a click on the open
// popup's button or anywhere else closes it.
// Keyboard: Alt pressed and released alone (nothing else pressed or clicked,
// the frame not left meanwhile), or F10, highlights the bar (focus on the
// bar, first button hot) and ends the highlight again; Alt+mnemonic opens
// that popup. While highlighted, Left and Right move along the buttons,
// Down, Up or Enter open the hot one, a mnemonic opens its popup, Escape, a
// click elsewhere or a change of focus end the highlight, and the focus goes
// back where it was. Inside an open popup, Left at its top level and Right on
// an item without a submenu move to the neighbouring popup; Escape closes it
// and leaves its button highlighted.
//
// Popups are opened with the frame as owner, so the frame itself receives
// their WM_INITMENUPOPUP, WM_MENUSELECT and WM_COMMAND. The bar adds what
// only a menu bar of the system would send: WM_MENUSELECT for the title of
// an open popup or of the hot button while highlighted, and for the end of
// the highlight, so that menu help shows as it does with a system menu.
// Keys go to the focused window, not to the frame, so while the bar exists it
// previews the thread's messages before the loop translates them. It also
// subclasses the frame, to draw the items' images (the owner's WM_MEASUREITEM
// and WM_DRAWITEM) and to answer WM_SYSCOMMAND SC_KEYMENU, the system's
// request to enter the menu from the keyboard, which would otherwise start
// the system menu.
#pragma once

#include <windows.h>

#include "framework/menu_bar_buttons.h"
#include "framework/menu_bar_images.h"
#include "framework/menu_bar_message_hook.h"

namespace brx::framework {

class CMenuBar : private MessagePreviewer {
 public:
  CMenuBar() = default;
  CMenuBar(const CMenuBar&) = delete;
  CMenuBar& operator=(const CMenuBar&) = delete;
  // Destroys the bar window if still there and the menu it owns.
  ~CMenuBar();

  // Creates the bar, a "ToolbarWindow32" child of `parent` with `style`
  // (0 x 0 until its container sizes it); null on failure or when created
  // already. The frame is the top-level window `parent` belongs to.
  HWND Create(HWND parent, DWORD style);
  // One button per top-level popup of `menu`. The bar owns any valid menu
  // given here from now on, even when making the buttons fails, and destroys
  // the menu it owned before. False for an invalid menu, without a bar window
  // or when the buttons cannot be made.
  bool AttachMenu(HMENU menu);
  // Items of the menu whose command ids appear in toolbar resource
  // `toolbar_resource_id` show the images of the bitmap with the same id
  // (see menu_bar_images.h), now and for menus attached later. False when the
  // resource or the bitmap is missing or bad; the items then show none.
  bool LoadImages(int toolbar_resource_id);

  HWND hwnd() const { return bar_; }
  HMENU menu() const { return menu_; }

 private:
  bool PreviewMessage(const MSG& message) override;
  bool PreviewKeyDown(const MSG& message);
  bool PreviewKeyUp(WPARAM key);
  bool OpenByMnemonic(char character);

  void ToggleHighlight();
  void BeginHighlight(int button);
  void EndHighlight(bool restore_focus);
  int HotButton() const;

  // Runs the popups from `button` on (modal); posted, so that no hook is
  // inside the menu loop.
  void PostOpen(int button, bool from_keyboard);
  void OpenPopups(int button, bool from_keyboard);

  bool IsInFrame(HWND window) const;
  // Lets go of the frame and the thread: subclasses and the message preview.
  void Detach();

  bool OnBarMessage(UINT message, WPARAM wparam, LPARAM lparam);
  bool OnFrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  static LRESULT CALLBACK BarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR id, DWORD_PTR self);

  HWND bar_ = nullptr;
  HWND frame_ = nullptr;
  HMENU menu_ = nullptr;
  CommandImages images_;
  MenuBarButtons buttons_;
  bool tracking_ = false;     // a popup is open
  bool highlighted_ = false;  // keyboard mode
  bool alt_alone_ = false;    // Alt is down and nothing else happened since
  HWND focus_before_ = nullptr;
  POINT resting_mouse_{};  // where the mouse was when the keyboard took the lead
};

}  // namespace brx::framework
