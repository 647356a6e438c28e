// The main frame as the user meets it: its bars at start, the two View
// toggles, layout, menu help through real menus and tooltips by hovering.
#include "app/main_frame.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/toolbar.h"
#include "res/resource.h"
#include "tests/app/gui_driver.h"
#include "tests/app/running_frame.h"
#include "tests/framework/input_script.h"
#include "tests/support/temp_folder.h"

namespace brx::testing {
namespace {

constexpr UINT kToolbarBand = framework::kFirstBandId + 1;

// The View popup's check marks as the user sees them when it opens.
struct ViewChecks {
  bool toolbar;
  bool status_bar;
};
ViewChecks ViewPopupChecks(RunningFrame& running) {
  HMENU view = GetSubMenu(running.frame().menuBar().menu(), 1);
  SendMessageA(running.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
  return {(GetMenuState(view, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED) != 0,
          (GetMenuState(view, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED) != 0};
}

void Command(RunningFrame& running, WORD id) {
  PostMessageA(running.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
  EXPECT_TRUE(running.RunUntil(gui_test::QueueDrained));
}

class MainFrameTest : public ::testing::Test {
 protected:
  TempFolder folder_;
};

TEST_F(MainFrameTest, WindowHasItsClassTitleStylesAndIcons) {
  RunningFrame running;
  HWND frame = running.hwnd();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(frame), "BRXEDIT");
  char class_name[64] = {};
  GetClassNameA(frame, class_name, sizeof class_name);
  EXPECT_EQ(std::string(class_name).rfind("BrxWnd:", 0), 0u) << class_name;
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(frame, GWL_STYLE));
  const DWORD wanted = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  EXPECT_EQ(style & wanted, wanted);
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrA(frame, GWL_EXSTYLE));
  EXPECT_EQ(ex_style & (WS_EX_APPWINDOW | WS_EX_WINDOWEDGE), WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
  EXPECT_NE(GetClassLongPtrA(frame, GCLP_HICON), 0);
  EXPECT_NE(GetClassLongPtrA(frame, GCLP_HICONSM), 0);
  EXPECT_EQ(GetClassLongPtrA(frame, GCLP_HBRBACKGROUND), COLOR_WINDOW + 1);
  // The menu lives in the menu bar control now, not in the window.
  EXPECT_EQ(GetMenu(frame), nullptr);
  ASSERT_NE(running.frame().menuBar().menu(), nullptr);
  EXPECT_EQ(GetMenuItemCount(running.frame().menuBar().menu()), 3);
}

// The view fills the frame's width and the room between the bars shown: the
// rebar at the top, the status bar at the bottom.
void ExpectViewBetweenTheBars(RunningFrame& running) {
  const CMainFrame& frame = running.frame();
  RECT area{};
  GetClientRect(running.hwnd(), &area);
  const RECT view = running.PlaceOf(frame.client());
  EXPECT_EQ(view.left, 0);
  EXPECT_EQ(view.right, area.right);
  EXPECT_EQ(view.top, running.PlaceOf(frame.toolbarHost()).bottom);
  EXPECT_EQ(view.bottom, IsWindowVisible(frame.statusBar()) ? running.PlaceOf(frame.statusBar()).top
                                                            : area.bottom);
}

TEST_F(MainFrameTest, StartsWithBothBarsShownCheckedAndTheViewBetweenThem) {
  RunningFrame running;
  CMainFrame& frame = running.frame();
  HWND rebar = frame.toolbarHost();
  ASSERT_NE(rebar, nullptr);
  ASSERT_EQ(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(rebar, RB_IDTOINDEX, framework::kFirstBandId, 0), 0);  // the menu bar
  EXPECT_EQ(SendMessageA(rebar, RB_IDTOINDEX, kToolbarBand, 0), 1);
  EXPECT_FALSE(BandHidden(rebar, kToolbarBand));
  EXPECT_TRUE(IsWindowVisible(frame.statusBar()));
  EXPECT_EQ(StatusText(frame.statusBar()), "Ready");
  const ViewChecks checks = ViewPopupChecks(running);
  EXPECT_TRUE(checks.toolbar);
  EXPECT_TRUE(checks.status_bar);
  ExpectViewBetweenTheBars(running);
}

// View > Toolbar hides the toolbar's row (the menu bar's row stays), View >
// Status Bar the status bar; the view takes the room, the check mark goes,
// and the second time everything is as it was, "Ready" included.
TEST_F(MainFrameTest, EachViewToggleGivesItsBarsRoomToTheViewAndBringsItBack) {
  const struct {
    WORD command;
    bool ViewChecks::*check;
    bool ViewChecks::*other_check;
  } toggles[] = {
      {ID_VIEW_TOOLBAR, &ViewChecks::toolbar, &ViewChecks::status_bar},
      {ID_VIEW_STATUS_BAR, &ViewChecks::status_bar, &ViewChecks::toolbar},
  };
  for (const auto& toggle : toggles) {
    SCOPED_TRACE(toggle.command);
    RunningFrame running;
    CMainFrame& frame = running.frame();
    const RECT view_before = running.PlaceOf(frame.client());
    const auto bar_shown = [&] {
      return toggle.command == ID_VIEW_TOOLBAR ? !BandHidden(frame.toolbarHost(), kToolbarBand)
                                               : IsWindowVisible(frame.statusBar()) != FALSE;
    };

    Command(running, toggle.command);
    EXPECT_FALSE(bar_shown());
    EXPECT_TRUE(IsWindowVisible(frame.toolbarHost()));
    ExpectViewBetweenTheBars(running);
    const RECT view_grown = running.PlaceOf(frame.client());
    EXPECT_GT(view_grown.bottom - view_grown.top, view_before.bottom - view_before.top);
    EXPECT_FALSE(ViewPopupChecks(running).*toggle.check);
    EXPECT_TRUE(ViewPopupChecks(running).*toggle.other_check);

    Command(running, toggle.command);
    EXPECT_TRUE(bar_shown());
    const RECT view_after = running.PlaceOf(frame.client());
    EXPECT_EQ(view_after.top, view_before.top);
    EXPECT_EQ(view_after.bottom, view_before.bottom);
    EXPECT_TRUE(ViewPopupChecks(running).*toggle.check);
    EXPECT_EQ(StatusText(frame.statusBar()), "Ready");
  }
}

TEST_F(MainFrameTest, MinimisingLeavesTheLayoutAloneAndRestoringRedoesIt) {
  RunningFrame running;
  HWND view = running.frame().client();
  const RECT laid_out = running.PlaceOf(view);
  SetWindowPos(view, nullptr, 0, 0, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);

  ShowWindow(running.hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(running.RunUntil([&] { return IsIconic(running.hwnd()); }));
  RECT rect{};
  GetWindowRect(view, &rect);
  EXPECT_EQ(rect.right - rect.left, 50);

  ShowWindow(running.hwnd(), SW_RESTORE);
  ASSERT_TRUE(running.RunUntil([&] { return !IsIconic(running.hwnd()); }));
  const RECT restored = running.PlaceOf(view);
  EXPECT_EQ(restored.top, laid_out.top);
  EXPECT_EQ(restored.right, laid_out.right);
  EXPECT_EQ(restored.bottom, laid_out.bottom);
}

TEST_F(MainFrameTest, EachToolbarButtonShowsItsTooltipWhenHovered) {
  RunningFrame running;
  HWND toolbar = running.frame().toolbar();
  const char* const tips[] = {"New", "Open", "Save As"};
  for (int button = 0; button < 3; ++button) {
    RECT rect{};
    SendMessageA(toolbar, TB_GETITEMRECT, button, reinterpret_cast<LPARAM>(&rect));
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(toolbar, &centre);
    // Come from outside, so the tooltip starts afresh for each button.
    MoveMouse(CentreOf(running.frame().client()));
    EXPECT_TRUE(running.RunUntil([] { return ThreadWindows(TOOLTIPS_CLASSA).empty(); }));
    MoveMouse(centre);
    std::string shown;
    EXPECT_TRUE(running.RunUntil([&] {
      for (HWND tip : ThreadWindows(TOOLTIPS_CLASSA)) shown = WindowText(tip);
      return shown == tips[button];
    })) << "button "
        << button << " showed [" << shown << "]";
  }
}

// Notes every line the status bar is told to show, as it happens: help
// lines in simple mode, and its normal text when simple mode ends.
class StatusLines {
 public:
  explicit StatusLines(HWND status) : status_(status) {
    SetWindowSubclass(status_, Procedure, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~StatusLines() { RemoveWindowSubclass(status_, Procedure, 1); }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<StatusLines*>(data);
    const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
    if (message == SB_SETTEXTA && LOBYTE(LOWORD(wparam)) == SB_SIMPLEID)
      self->Note(reinterpret_cast<const char*>(lparam));
    if (message == SB_SIMPLE && !wparam) self->Note(StatusText(window));
    return result;
  }
  void Note(const std::string& line) {
    if (lines_.empty() || lines_.back() != line) lines_.push_back(line);
  }

  HWND status_;
  std::vector<std::string> lines_;
};

struct MenuWalk {
  const char* name;
  bool click_file_first;  // open File with the mouse before the steps
  std::vector<Script::Step> steps;
  std::vector<std::string> lines;
};

Script::Step ClickFile(RunningFrame& running) {
  return [&running] {
    HWND bar = running.frame().menuBar().hwnd();
    RECT rect{};
    SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(bar, &centre);
    Click(centre);
    return true;
  };
}

// Real menus walked with the keyboard and the mouse: a highlighted title
// leaves the help line empty, each highlighted item puts its help there, and
// "Ready" returns when the menu closes (also in between, when one popup gives
// way to another).
TEST_F(MainFrameTest, MenuHelpFollowsRealMenusAndReadyReturns) {
  const MenuWalk walks[] = {
      {"File menu of the menu bar",
       false,
       {Keys({VK_MENU, 'F'}), Keys({VK_DOWN}), Keys({VK_DOWN}), Keys({VK_DOWN}), Keys({VK_ESCAPE}),
        Keys({VK_ESCAPE})},
       {"", "Create a new document", "Open an existing document",
        "Save the active document with a new name",
        "Quit the application; prompts to save documents", "Ready", "", "Ready"}},
      {"View menu, arrows across from Help",
       false,
       {Keys({VK_MENU, 'H'}), Keys({VK_LEFT}), Keys({VK_DOWN}), Keys({VK_ESCAPE}),
        Keys({VK_ESCAPE})},
       {"", "Display program information, version number and copyright", "Ready", "",
        "Show or hide the toolbar", "Show or hide the status bar", "Ready", "", "Ready"}},
      {"F10 with a title hot, then along the bar",
       false,
       {Keys({VK_F10}), Keys({VK_RIGHT}), Keys({VK_ESCAPE})},
       {"", "Ready"}},
      {"a popup opened with the mouse, nothing in it highlighted",
       true,
       {Keys({VK_ESCAPE}), Keys({VK_ESCAPE})},
       {"", "Ready", "", "Ready"}},
      {"system menu of the frame",
       false,
       {Keys({VK_MENU, VK_SPACE}), Keys({VK_DOWN}), Keys({VK_ESCAPE}), Keys({VK_ESCAPE})},
       {"", "Restore the window to normal size", "Change the window position", "Ready"}},
  };
  for (const MenuWalk& walk : walks) {
    RunningFrame running;
    std::vector<Script::Step> steps;
    if (walk.click_file_first)
      steps = {ClickFile(running), [] { return !ThreadWindows("#32768").empty(); }};
    steps.insert(steps.end(), walk.steps.begin(), walk.steps.end());
    StatusLines status(running.frame().statusBar());
    EXPECT_EQ(running.Run(steps), RunningFrame::kStepsDone) << walk.name;
    EXPECT_EQ(status.lines(), walk.lines) << walk.name;
    EXPECT_FALSE(SendMessageA(running.frame().statusBar(), SB_ISSIMPLE, 0, 0)) << walk.name;
  }
}

}  // namespace
}  // namespace brx::testing
