// Real windows for the view's tests: a top-level host, reading and driving
// the tree and the panes' controls, and a count of the simple beeps.
#pragma once

#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/window_text.h"

namespace brx::testing {

// A visible top-level window to hold the view or a pane.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND hwnd() const { return window_; }

 private:
  HWND window_;
};

// Replaces the simple beep by a counter while it lives.
class BeepCounter {
 public:
  BeepCounter();
  ~BeepCounter();
  BeepCounter(const BeepCounter&) = delete;
  BeepCounter& operator=(const BeepCounter&) = delete;
  int count() const;
};

// One tree item as the tests see it: its depth (0 structure, 1 tile), its
// item data and whether it is selected.
struct TreeRow {
  int depth;
  std::uint32_t data;
  bool selected;
  friend bool operator==(const TreeRow& a, const TreeRow& b) {
    return a.depth == b.depth && a.data == b.data && a.selected == b.selected;
  }
};
std::ostream& operator<<(std::ostream& out, const TreeRow& row);

// Every item in display order, children after their parent.
std::vector<TreeRow> TreeRows(HWND tree);
// The n-th top-level item (0-based) and the n-th child of an item.
HTREEITEM TopItem(HWND tree, int n);
HTREEITEM ChildItem(HWND tree, HTREEITEM parent, int n);
bool IsExpanded(HWND tree, HTREEITEM item);
std::string ItemText(HWND tree, HTREEITEM item);

std::string ControlText(HWND dialog, int control);
void SetControlText(HWND dialog, int control, const std::string& text);
bool IsChecked(HWND dialog, int control);
void SetChecked(HWND dialog, int control, bool checked);
void ClickButton(HWND dialog, int control);

}  // namespace brx::testing
