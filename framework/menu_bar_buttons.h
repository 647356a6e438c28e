// The menu bar's buttons: one drop-down button per top-level popup of a menu,
// labelled with the popup's text (with its & mnemonic), on a toolbar window.
// Buttons are addressed by index, left to right.
#pragma once

#include <windows.h>

#include <vector>

namespace brx::framework {

// The mnemonic of a menu text, the character after a single &, upper-cased;
// 0 when there is none ("&&" is a literal ampersand).
char MnemonicOf(const char* text);

class MenuBarButtons {
 public:
  explicit MenuBarButtons(HWND toolbar = nullptr) : toolbar_(toolbar) {}

  // Replaces the buttons with one per popup of `menu`; plain commands at the
  // top level get none. False, with no buttons, on failure.
  bool Fill(HMENU menu);

  int Count() const { return static_cast<int>(popups_.size()); }
  HMENU Popup(int index) const { return popups_[index]; }
  // The button `step` places away, wrapping round at both ends.
  int Neighbour(int index, int step) const;
  // The button whose mnemonic is `character` (any case); -1 when none.
  int FindMnemonic(char character) const;
  // The button under a screen point; -1 when none.
  int HitTest(POINT screen) const;
  RECT ScreenRect(int index) const;

  void SetPressed(int index, bool pressed) const;
  // The toolbar's hot (highlighted) button; -1 for none.
  int Hot() const;
  void SetHot(int index) const;

  // Tells `owner` what a menu bar of the system would (WM_MENUSELECT): that
  // the title of button `index` is highlighted, or with -1 that the menu is
  // closed.
  void ReportHighlight(HWND owner, int index) const;

 private:
  HWND toolbar_;
  HMENU menu_ = nullptr;
  std::vector<HMENU> popups_;
  std::vector<UINT> positions_;  // of the popups in the menu
  std::vector<char> mnemonics_;
};

}  // namespace brx::framework
