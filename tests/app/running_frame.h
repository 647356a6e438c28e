// The main frame as RunShell makes it (loop registered for this thread,
// window created, shown and in front), for tests that drive it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/message_loop.h"
#include "tests/app/gui_driver.h"

namespace brx::testing {

// Initialises what WinMain would for the whole test program: the module and
// the common-control classes.
class ShellEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;
};

class RunningFrame {
 public:
  // The code Run returns when its steps are done.
  static constexpr int kStepsDone = 55;

  explicit RunningFrame(const std::string& startup_file = "");
  ~RunningFrame();
  RunningFrame(const RunningFrame&) = delete;
  RunningFrame& operator=(const RunningFrame&) = delete;

  CMainFrame& frame() { return frame_; }
  HWND hwnd() const { return window_; }

  // Runs the program's loop with the steps (see Script) and returns the quit
  // code: kStepsDone after the last step, 1 when the frame was closed,
  // Script::kTimedOut when the watchdog ran out.
  int Run(std::vector<Script::Step> steps, UINT limit_ms = 20000);
  // Runs the loop until `done` is true; false when it never was.
  bool RunUntil(std::function<bool()> done, UINT limit_ms = 5000);

  HWND Tree() const;
  int TreeItemCount() const;
  // The rectangle of a child window in the frame's client coordinates.
  RECT PlaceOf(HWND child) const;

 private:
  struct Registration {
    explicit Registration(CMessageLoop& loop);
    ~Registration();
  };

  CMessageLoop loop_;
  Registration registration_{loop_};
  CMainFrame frame_;
  HWND window_ = nullptr;
};

// A structure data file for the test, written by the model: structure i has
// tile_counts[i] tiles. Returns its full path.
std::string WriteSampleFile(const std::string& folder, const std::string& name,
                            const std::vector<std::size_t>& tile_counts);

// The tree item count of a view window's tree.
int TreeItemCountOf(HWND view);

}  // namespace brx::testing
