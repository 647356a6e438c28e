// The command-state table: check states, what becomes pending, and writing
// the states to real menus and toolbars.
#include "framework/update_ui.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

namespace brx::framework {
namespace {

constexpr WORD kMenuCommand = 100;
constexpr WORD kButtonCommand = 200;
constexpr WORD kOtherCommand = 300;

constexpr CUpdateUIBase::Entry kTable[] = {
    {kMenuCommand, CUpdateUIBase::kMenuPopupItem},
    {kButtonCommand, CUpdateUIBase::kToolbarButton},
    {CUpdateUIBase::kEndOfTable, 0},
};

constexpr WORD kMenu = CUpdateUIBase::kMenuPopupItem;
constexpr WORD kChecked = CUpdateUIBase::kChecked;
constexpr WORD kIndeterminate = CUpdateUIBase::kIndeterminate;

struct CheckStep {
  int check;
  bool force;
  WORD state_after;  // of a fresh entry after the steps so far
};

// Each row runs on a fresh table, its steps in order. The entry's kinds
// become pending exactly when the check state changes (or when forced), and
// stay pending until the states are applied.
TEST(UpdateUI, SetCommandCheckChangesStateAndMarksItPending) {
  const struct {
    const char* name;
    std::vector<CheckStep> steps;
  } rows[] = {
      {"unchecking an unchecked entry changes nothing", {{0, false, 0}}},
      {"checking", {{1, false, kChecked | kMenu}}},
      {"indeterminate", {{2, false, kIndeterminate | kMenu}}},
      {"forced without a change", {{0, true, kMenu}}},
      {"checked then indeterminate replaces the check",
       {{1, false, kChecked | kMenu}, {2, false, kIndeterminate | kMenu}}},
      {"indeterminate then checked",
       {{2, false, kIndeterminate | kMenu}, {1, false, kChecked | kMenu}}},
      {"checked then unchecked", {{1, false, kChecked | kMenu}, {0, false, kMenu}}},
      {"indeterminate then unchecked", {{2, false, kIndeterminate | kMenu}, {0, false, kMenu}}},
  };
  for (const auto& row : rows) {
    CUpdateUIBase table(kTable);
    for (const CheckStep& step : row.steps) {
      EXPECT_TRUE(table.SetCommandCheck(kMenuCommand, step.check, step.force));
      EXPECT_EQ(table.CommandState(kMenuCommand), step.state_after) << row.name;
    }
  }
}

TEST(UpdateUI, ACommandWithoutAnEntryIsLeftAlone) {
  CUpdateUIBase table(kTable);
  EXPECT_TRUE(table.SetCommandCheck(kOtherCommand, 1, true));
  EXPECT_EQ(table.CommandState(kOtherCommand), 0);
  EXPECT_EQ(table.CommandState(kMenuCommand), 0);
  EXPECT_EQ(table.CommandState(kButtonCommand), 0);
}

UINT MenuState(HMENU menu, UINT id) {
  return GetMenuState(menu, id, MF_BYCOMMAND);
}

TEST(UpdateUI, MenuStatesReachTheItemsOfThePopupThatHasThem) {
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, kOtherCommand, "other");
  AppendMenuA(popup, MF_STRING | MF_CHECKED, kMenuCommand, "menu command");
  HMENU unrelated = CreatePopupMenu();
  AppendMenuA(unrelated, MF_STRING | MF_CHECKED, kOtherCommand, "other");

  CUpdateUIBase table(kTable);
  table.ApplyMenuStates(popup);  // unchecked in the table: the mark goes
  EXPECT_EQ(MenuState(popup, kMenuCommand) & MF_CHECKED, 0u);
  table.SetCommandCheck(kMenuCommand, 1, false);
  table.ApplyMenuStates(popup);
  EXPECT_NE(MenuState(popup, kMenuCommand) & MF_CHECKED, 0u);
  table.ApplyMenuStates(unrelated);
  table.ApplyMenuStates(nullptr);
  // Items without an entry are not touched, in either popup.
  EXPECT_EQ(MenuState(popup, kOtherCommand) & MF_CHECKED, 0u);
  EXPECT_NE(MenuState(unrelated, kOtherCommand) & MF_CHECKED, 0u);
  DestroyMenu(popup);
  DestroyMenu(unrelated);
}

class ToolbarFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    parent_ = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
    toolbar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD, 0, 0, 100, 30, parent_,
                               nullptr, nullptr, nullptr);
    SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[2] = {};
    buttons[0].idCommand = kButtonCommand;
    buttons[1].idCommand = kMenuCommand;
    for (TBBUTTON& button : buttons) {
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
    }
    SendMessageA(toolbar_, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
  }
  void TearDown() override { DestroyWindow(parent_); }

  bool Checked(WORD id) { return SendMessageA(toolbar_, TB_ISBUTTONCHECKED, id, 0) != 0; }
  bool Indeterminate(WORD id) {
    return SendMessageA(toolbar_, TB_ISBUTTONINDETERMINATE, id, 0) != 0;
  }

  HWND parent_ = nullptr;
  HWND toolbar_ = nullptr;
};

TEST_F(ToolbarFixture, PendingButtonStatesAreWrittenOnceWhenApplied) {
  CUpdateUIBase table(kTable);
  table.AddToolbarElement(toolbar_);
  table.SetCommandCheck(kButtonCommand, 1, false);
  EXPECT_FALSE(Checked(kButtonCommand));  // nothing is written before the idle pass
  table.ApplyToolbarStates();
  EXPECT_TRUE(Checked(kButtonCommand));
  EXPECT_EQ(table.CommandState(kButtonCommand), CUpdateUIBase::kChecked);  // no longer pending

  // Nothing pending: a second pass leaves the button as someone else set it.
  SendMessageA(toolbar_, TB_CHECKBUTTON, kButtonCommand, FALSE);
  table.ApplyToolbarStates();
  EXPECT_FALSE(Checked(kButtonCommand));

  table.SetCommandCheck(kButtonCommand, 2, false);
  table.ApplyToolbarStates();
  EXPECT_TRUE(Indeterminate(kButtonCommand));
  EXPECT_FALSE(Checked(kButtonCommand));
}

TEST_F(ToolbarFixture, MenuEntriesNeverTouchToolbarButtons) {
  CUpdateUIBase table(kTable);
  table.AddToolbarElement(toolbar_);
  // A button with a menu entry's command: the entry is not of toolbar kind.
  table.SetCommandCheck(kMenuCommand, 1, true);
  table.ApplyToolbarStates();
  EXPECT_FALSE(Checked(kMenuCommand));
  EXPECT_NE(table.CommandState(kMenuCommand) & CUpdateUIBase::kMenuPopupItem, 0);
}

}  // namespace
}  // namespace brx::framework
