// The life of the program through RunShell and RunProgram: start-up with and
// without a file (read before the frame is first shown), every way of
// closing giving exit code 1, and exit code 0 when no frame can be made.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/program_module.h"
#include "app/shell.h"
#include "os/system_file_system.h"
#include "res/resource.h"
#include "tests/app/gui_driver.h"
#include "tests/app/running_frame.h"
#include "tests/framework/input_script.h"
#include "tests/support/temp_folder.h"

namespace brx::testing {
namespace {

// The frame's window class has a generated name; message boxes share its title.
bool IsFrame(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return !GetParent(window) && std::string(name).rfind("BrxWnd:", 0) == 0;
}

HWND FindFrame() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) {
        if (!IsWindowVisible(window) || !IsFrame(window)) return TRUE;
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND MessageBoxWindow() {
  for (HWND box : ThreadWindows("#32770"))
    if (WindowText(box) == "BRXEDIT") return box;
  return nullptr;
}

HWND ViewOf(HWND frame) {
  return FindWindowExA(frame, nullptr, "#32770", nullptr);
}

// The tree's item count when the frame is first shown; -1 before.
int items_at_first_show = -1;

LRESULT CALLBACK WatchFirstShow(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam &&
      items_at_first_show < 0 && IsFrame(call->hwnd)) {
    items_at_first_show = TreeItemCountOf(ViewOf(call->hwnd));
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

Script::Step WaitForFrame() {
  return [] { return FindFrame() != nullptr; };
}

Script::Step Exit() {
  return [] {
    PostMessageA(FindFrame(), WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
    return true;
  };
}

struct StartCase {
  const char* name;
  std::string command_line;
  int items;  // tree items at first show: structures and tiles
  bool load_fails;
};

TEST(Startup, TheStartupFileIsReadBeforeTheFrameIsFirstShown) {
  TempFolder folder;
  CreateDirectoryA(folder.File("with space").c_str(), nullptr);
  const std::string file =
      WriteSampleFile(folder.File("with space"), "three.brx", {2, 0, 1});  // 3 + 3 items
  const StartCase cases[] = {
      {"no file", "", 0, false},
      {"a file", file, 6, false},
      {"a file in quotes, as Explorer passes it", "\"" + file + "\"", 6, false},
      {"two names are one name that does not exist", "\"" + file + "\" \"" + file + "\"", 0, true},
      {"an opening quote alone stays", "\"" + file, 0, true},
      {"a file that does not exist", folder.File("missing.brx"), 0, true},
  };
  for (const StartCase& c : cases) {
    items_at_first_show = -1;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchFirstShow, nullptr, GetCurrentThreadId());
    int items_after_start = -1;
    bool reported = false;
    // Whatever the frame posted to itself while it was made has been handled
    // once its queue is drained: a failed load is reported by then.
    Script script({WaitForFrame(), gui_test::QueueDrained,
                   [&] {
                     items_after_start = TreeItemCountOf(ViewOf(FindFrame()));
                     // A failed load is reported once the frame is up.
                     if (HWND box = MessageBoxWindow()) {
                       reported = true;
                       PostMessageA(box, WM_COMMAND, IDOK, 0);
                     }
                     return true;
                   },
                   [] { return MessageBoxWindow() == nullptr; }, Exit()});
    EXPECT_EQ(RunShell(c.command_line.c_str(), SW_SHOWNORMAL, SystemFileSystem()), 1) << c.name;
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(script.timed_out()) << c.name;
    EXPECT_EQ(items_at_first_show, c.items) << c.name;
    EXPECT_EQ(items_after_start, c.items) << c.name;
    EXPECT_EQ(reported, c.load_fails) << c.name;
  }
}

TEST(Startup, NoCommandLineTextStartsEmpty) {
  Script script({WaitForFrame(),
                 [] {
                   EXPECT_EQ(TreeItemCountOf(ViewOf(FindFrame())), 0);
                   return true;
                 },
                 Exit()});
  EXPECT_EQ(RunShell(nullptr, SW_SHOWNORMAL, SystemFileSystem()), 1);
  EXPECT_FALSE(script.timed_out());
}

struct CloseWay {
  const char* name;
  std::vector<Script::Step> steps;
};

TEST(Startup, EveryWayOfClosingEndsWithExitCodeOne) {
  const CloseWay ways[] = {
      // The tree has the focus at start.
      {"Alt+F4", {Keys({VK_MENU, VK_F4})}},
      {"File > Exit command", {Exit()}},
      {"File > Exit with the keyboard", {Keys({VK_MENU, 'F'}), Keys({'X'})}},
      {"system menu Close", {Keys({VK_MENU, VK_SPACE}), Keys({'C'})}},
      {"close box", {[] {
         POINT box{};
         EXPECT_TRUE(FindCloseBox(FindFrame(), box));
         Click(box);
         return true;
       }}},
  };
  for (const CloseWay& way : ways) {
    std::vector<Script::Step> steps{WaitForFrame(), [] {
                                      BringToFront(FindFrame());
                                      return GetForegroundWindow() == FindFrame();
                                    }};
    steps.insert(steps.end(), way.steps.begin(), way.steps.end());
    Script script(steps);
    EXPECT_EQ(RunShell("", SW_SHOWNORMAL, SystemFileSystem()), 1) << way.name;
    EXPECT_FALSE(script.timed_out()) << way.name;
    EXPECT_EQ(FindFrame(), nullptr) << way.name;
    // Keys still "down" in the server would be lost to the next case.
    EXPECT_TRUE(gui_test::PumpUntil(gui_test::QueueDrained)) << way.name;
  }
}

// Refuses the creation of every window of this thread.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) return 1;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(Startup, WithoutAFrameWindowTheExitCodeIsZeroAndNothingIsShown) {
  HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
  EXPECT_EQ(RunShell("", SW_SHOWNORMAL, SystemFileSystem()), 0);
  EXPECT_EQ(FindFrame(), nullptr);
  // The loop that never ran is no longer this thread's.
  EXPECT_EQ(ProgramModule().FindLoop(GetCurrentThreadId()), nullptr);

  // The whole entry routine, with its own module start and end.
  EXPECT_EQ(RunProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL, SystemFileSystem()), 0);
  UnhookWindowsHookEx(hook);
  ProgramModule().Init(GetModuleHandleA(nullptr));  // for the tests that follow
}

TEST(Startup, RunProgramRunsTheShellBetweenStartAndShutdown) {
  Script script({WaitForFrame(), Exit()});
  EXPECT_EQ(RunProgram(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL, SystemFileSystem()), 1);
  EXPECT_FALSE(script.timed_out());
  EXPECT_EQ(ProgramModule().FindLoop(GetCurrentThreadId()), nullptr);  // terminated
  ProgramModule().Init(GetModuleHandleA(nullptr));
}

}  // namespace
}  // namespace brx::testing
