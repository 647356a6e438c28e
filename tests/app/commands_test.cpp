// Commands from real key input: the accelerators (for the whole frame, also
// inside a pane's edit box) and the View toggles through the menu bar.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "framework/toolbar.h"
#include "res/resource.h"
#include "tests/app/gui_driver.h"
#include "tests/app/running_frame.h"
#include "tests/support/temp_folder.h"

namespace brx::testing {
namespace {

// The commands the frame receives from accelerators (notification code 1).
std::vector<WORD>* accelerator_commands = nullptr;
HWND watched_frame = nullptr;

LRESULT CALLBACK WatchCommands(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && call->hwnd == watched_frame && call->message == WM_COMMAND &&
      HIWORD(call->wParam) == 1 && accelerator_commands) {
    accelerator_commands->push_back(LOWORD(call->wParam));
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = WriteSampleFile(folder_.path().string(), "three.brx", {2, 0, 1});
    accelerator_commands = &commands_;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, WatchCommands, nullptr, GetCurrentThreadId());
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook_);
    accelerator_commands = nullptr;
  }

  // Presses the keys and lets the frame take them (letting go of them too,
  // or the server would still hold them down in the next case).
  void Press(RunningFrame& running, const std::vector<WORD>& keys) {
    EXPECT_EQ(running.Run({Keys(keys)}), RunningFrame::kStepsDone);
  }

  TempFolder folder_;
  std::string file_;
  std::vector<WORD> commands_;
  HHOOK hook_ = nullptr;
};

TEST_F(CommandsTest, CtrlNEmptiesTheDocumentAndTheTreeAtOnce) {
  RunningFrame running(file_);
  watched_frame = running.hwnd();
  ASSERT_EQ(running.frame().view().Document().StructureCount(), 3u);
  ASSERT_NE(running.frame().view().PaneWindow(), nullptr);
  Press(running, {VK_CONTROL, 'N'});
  EXPECT_EQ(commands_, std::vector<WORD>{ID_FILE_NEW});
  EXPECT_EQ(running.frame().view().Document().StructureCount(), 0u);
  EXPECT_EQ(running.TreeItemCount(), 0);
  EXPECT_EQ(running.frame().view().PaneWindow(), nullptr);
  EXPECT_TRUE(ThreadWindows("#32770").empty());  // no question asked
}

TEST_F(CommandsTest, AcceleratorsWithoutAHandlerDoNothing) {
  const struct {
    const char* name;
    std::vector<WORD> keys;
    WORD command;
  } rows[] = {
      {"Ctrl+S", {VK_CONTROL, 'S'}, ID_FILE_SAVE},
      {"Ctrl+P", {VK_CONTROL, 'P'}, ID_FILE_PRINT},
      {"F6", {VK_F6}, ID_NEXT_PANE},
      {"Shift+F6", {VK_SHIFT, VK_F6}, ID_PREV_PANE},
  };
  RunningFrame running(file_);
  watched_frame = running.hwnd();
  for (const auto& row : rows) {
    commands_.clear();
    Press(running, row.keys);
    // Translated into the command, which nothing takes.
    EXPECT_EQ(commands_, std::vector<WORD>{row.command}) << row.name;
    EXPECT_EQ(running.frame().view().Document().StructureCount(), 3u) << row.name;
    EXPECT_EQ(running.TreeItemCount(), 6) << row.name;
    EXPECT_NE(running.frame().view().PaneWindow(), nullptr) << row.name;
    EXPECT_TRUE(ThreadWindows("#32770").empty()) << row.name;
    EXPECT_TRUE(IsWindowEnabled(running.hwnd())) << row.name;
  }
}

void SetClipboardText(HWND owner, const char* text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  const std::size_t size = std::strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

std::string ClipboardText(HWND owner) {
  std::string text;
  if (!OpenClipboard(owner)) return "(clipboard busy)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// The clipboard and undo keys are in the accelerator table: the frame
// consumes them before a focused edit box of a pane could act on them.
TEST_F(CommandsTest, ClipboardAndUndoKeysNeverReachAPaneEditBox) {
  const struct {
    const char* name;
    std::vector<WORD> keys;
    WORD command;
    bool type_first;  // give the edit box something to undo
  } rows[] = {
      {"Ctrl+C", {VK_CONTROL, 'C'}, ID_EDIT_COPY, false},
      {"Ctrl+Insert", {VK_CONTROL, VK_INSERT}, ID_EDIT_COPY, false},
      {"Ctrl+X", {VK_CONTROL, 'X'}, ID_EDIT_CUT, false},
      {"Shift+Delete", {VK_SHIFT, VK_DELETE}, ID_EDIT_CUT, false},
      {"Ctrl+V", {VK_CONTROL, 'V'}, ID_EDIT_PASTE, false},
      {"Shift+Insert", {VK_SHIFT, VK_INSERT}, ID_EDIT_PASTE, false},
      {"Ctrl+Z", {VK_CONTROL, 'Z'}, ID_EDIT_UNDO, true},
      {"Alt+Backspace", {VK_MENU, VK_BACK}, ID_EDIT_UNDO, true},
  };
  RunningFrame running(file_);
  watched_frame = running.hwnd();
  HWND edit = GetDlgItem(running.frame().view().PaneWindow(), IDC_ARMOUR);
  ASSERT_NE(edit, nullptr);
  for (const auto& row : rows) {
    SetWindowTextA(edit, "123");
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetClipboardText(running.hwnd(), "marker");
    if (row.type_first) {
      Press(running, {'4'});
      ASSERT_EQ(WindowText(edit), "4") << row.name << ": typing must reach the edit box";
    }
    commands_.clear();
    Press(running, row.keys);
    EXPECT_EQ(commands_, std::vector<WORD>{row.command}) << row.name;
    EXPECT_EQ(WindowText(edit), row.type_first ? "4" : "123") << row.name;
    EXPECT_EQ(ClipboardText(running.hwnd()), "marker") << row.name;
    EXPECT_EQ(GetFocus(), edit) << row.name;
  }
}

// View > Toolbar and View > Status Bar chosen in the real menu; the check
// marks read while the View popup is open.
TEST_F(CommandsTest, ViewTogglesThroughTheMenuBarAndTheirCheckMarks) {
  RunningFrame running;
  CMainFrame& frame = running.frame();
  HMENU view_popup = GetSubMenu(frame.menuBar().menu(), 1);
  std::vector<UINT> marks;  // Toolbar's and Status Bar's, each time the popup is open
  const Script::Step note_marks = [&] {
    marks.push_back(GetMenuState(view_popup, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
    marks.push_back(GetMenuState(view_popup, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED);
    return true;
  };
  bool band_hidden = false, status_shown = true;
  const std::vector<Script::Step> steps{Keys({VK_MENU, 'V'}),
                                        note_marks,
                                        Keys({'T'}),
                                        [&] {
                                          band_hidden = BandHidden(frame.toolbarHost(),
                                                                   framework::kFirstBandId + 1);
                                          return true;
                                        },
                                        Keys({VK_MENU, 'V'}),
                                        note_marks,
                                        Keys({'S'}),
                                        [&] {
                                          status_shown = IsWindowVisible(frame.statusBar());
                                          return true;
                                        },
                                        Keys({VK_MENU, 'V'}),
                                        note_marks,
                                        Keys({VK_ESCAPE}),
                                        Keys({VK_ESCAPE})};

  EXPECT_EQ(running.Run(steps), RunningFrame::kStepsDone);
  EXPECT_TRUE(band_hidden);
  EXPECT_FALSE(status_shown);
  const std::vector<UINT> expected{MF_CHECKED, MF_CHECKED, 0, MF_CHECKED, 0, 0};
  EXPECT_EQ(marks, expected);
}

}  // namespace
}  // namespace brx::testing
