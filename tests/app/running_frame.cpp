#include "tests/app/running_frame.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include "app/program_module.h"
#include "model/structure_files.h"
#include "os/system_file_system.h"
#include "res/resource.h"
#include "tests/framework/input_script.h"
#include "tests/support/documents.h"

namespace brx::testing {

void ShellEnvironment::SetUp() {
  CoInitialize(nullptr);
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  ProgramModule().Init(GetModuleHandleA(nullptr));
}

void ShellEnvironment::TearDown() {
  ProgramModule().Term();
  CoUninitialize();
}

RunningFrame::Registration::Registration(CMessageLoop& loop) {
  ProgramModule().RegisterLoop(GetCurrentThreadId(), &loop);
}

RunningFrame::Registration::~Registration() {
  ProgramModule().UnregisterLoop(GetCurrentThreadId());
}

RunningFrame::RunningFrame(const std::string& startup_file)
    : frame_(startup_file, SystemFileSystem()) {
  window_ = frame_.CreateMainWindow();
  if (!window_) return;
  ShowWindow(window_, SW_SHOWNORMAL);
  BringToFront(window_);
  RunUntil([this] { return GetForegroundWindow() == window_ && gui_test::QueueDrained(); });
}

RunningFrame::~RunningFrame() {
  if (IsWindow(window_)) DestroyWindow(window_);
  // The frame's last message posted the quit message: it must not end the
  // next test's loop.
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

int RunningFrame::Run(std::vector<Script::Step> steps, UINT limit_ms) {
  steps.push_back([] {
    PostQuitMessage(kStepsDone);
    return true;
  });
  Script script(std::move(steps), 40, limit_ms);
  const int code = loop_.Run();
  EXPECT_FALSE(script.timed_out()) << "timed out at step " << script.step();
  return code;
}

bool RunningFrame::RunUntil(std::function<bool()> done, UINT limit_ms) {
  return Run({std::move(done)}, limit_ms) == kStepsDone;
}

HWND RunningFrame::Tree() const {
  return GetDlgItem(frame_.client(), IDC_STRUCTURE_TREE);
}

int RunningFrame::TreeItemCount() const {
  return TreeItemCountOf(frame_.client());
}

RECT RunningFrame::PlaceOf(HWND child) const {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string WriteSampleFile(const std::string& folder, const std::string& name,
                            const std::vector<std::size_t>& tile_counts) {
  const std::string path = folder + "\\" + name;
  std::string reason;
  EXPECT_TRUE(SaveToFile(PatternDocument(tile_counts), path.c_str(), SystemFileSystem(), reason))
      << reason;
  return path;
}

int TreeItemCountOf(HWND view) {
  return static_cast<int>(SendMessageA(GetDlgItem(view, IDC_STRUCTURE_TREE), TVM_GETCOUNT, 0, 0));
}

}  // namespace brx::testing

namespace brx::testing {
namespace {
::testing::Environment* const shell_environment =
    ::testing::AddGlobalTestEnvironment(new ShellEnvironment);
}  // namespace
}  // namespace brx::testing
