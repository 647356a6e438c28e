#include "tests/view/view_test_support.h"

#include <ostream>

#include "view/beep.h"

namespace brx::testing {
namespace {

int beeps = 0;

void CountBeep() {
  ++beeps;
}

}  // namespace

HostWindow::HostWindow() {
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  window_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 600,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HostWindow::~HostWindow() {
  DestroyWindow(window_);
}

BeepCounter::BeepCounter() {
  beeps = 0;
  SetBeepSound(CountBeep);
}

BeepCounter::~BeepCounter() {
  SetBeepSound(nullptr);
}

int BeepCounter::count() const {
  return beeps;
}

std::ostream& operator<<(std::ostream& out, const TreeRow& row) {
  return out << "{depth " << row.depth << ", data " << row.data
             << (row.selected ? ", selected}" : "}");
}

std::vector<TreeRow> TreeRows(HWND tree) {
  std::vector<TreeRow> rows;
  HTREEITEM selected = TreeView_GetSelection(tree);
  auto add = [&](HTREEITEM item, int depth) {
    TVITEMA data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    TreeView_GetItem(tree, &data);
    rows.push_back({depth, static_cast<std::uint32_t>(data.lParam), item == selected});
  };
  for (HTREEITEM top = TreeView_GetRoot(tree); top; top = TreeView_GetNextSibling(tree, top)) {
    add(top, 0);
    for (HTREEITEM child = TreeView_GetChild(tree, top); child;
         child = TreeView_GetNextSibling(tree, child))
      add(child, 1);
  }
  return rows;
}

HTREEITEM TopItem(HWND tree, int n) {
  HTREEITEM item = TreeView_GetRoot(tree);
  while (item && n-- > 0) item = TreeView_GetNextSibling(tree, item);
  return item;
}

HTREEITEM ChildItem(HWND tree, HTREEITEM parent, int n) {
  HTREEITEM item = TreeView_GetChild(tree, parent);
  while (item && n-- > 0) item = TreeView_GetNextSibling(tree, item);
  return item;
}

bool IsExpanded(HWND tree, HTREEITEM item) {
  return (TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::string ItemText(HWND tree, HTREEITEM item) {
  char text[64] = {};
  TVITEMA data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = sizeof text;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return text;
}

std::string ControlText(HWND dialog, int control) {
  return WindowText(GetDlgItem(dialog, control));
}

void SetControlText(HWND dialog, int control, const std::string& text) {
  SetDlgItemTextA(dialog, control, text.c_str());
}

bool IsChecked(HWND dialog, int control) {
  return IsDlgButtonChecked(dialog, control) == BST_CHECKED;
}

void SetChecked(HWND dialog, int control, bool checked) {
  CheckDlgButton(dialog, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ClickButton(HWND dialog, int control) {
  SendDlgItemMessageA(dialog, control, BM_CLICK, 0, 0);
}

}  // namespace brx::testing
