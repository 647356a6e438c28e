// Driving real windows from inside a test: scripted steps that run inside
// whatever message loop is active (the program's, a dialog's, a menu's),
// real keyboard and mouse input, and ways to find and read windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/window_text.h"

namespace brx::testing {

// Runs steps from a thread timer, so they run inside nested modal loops too.
// A step returns true when it is done, false to be tried again on the next
// tick. When the watchdog runs out, open menus and dialogs are ended, the
// thread's loop is told to quit with kTimedOut and timed_out() is true.
class Script {
 public:
  using Step = std::function<bool()>;
  static constexpr int kTimedOut = 99;

  explicit Script(std::vector<Step> steps, UINT tick_ms = 40, UINT limit_ms = 20000);
  ~Script();
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  bool finished() const { return next_ == steps_.size(); }
  bool timed_out() const { return timed_out_; }
  // The number of the step that is running or was last run (1-based).
  std::size_t step() const { return next_ + 1; }

 private:
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
  static void CALLBACK OnWatchdog(HWND, UINT, UINT_PTR, DWORD);

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool running_ = false;
  bool timed_out_ = false;
  UINT_PTR tick_ = 0;
  UINT_PTR watchdog_ = 0;
};

// A step that waits until `condition` holds, or gives up after `limit_ms`
// and leaves the judging to the steps after it.
Script::Step Until(std::function<bool()> condition, DWORD limit_ms = 3000);

// Presses the keys in order and releases them in reverse: {VK_CONTROL, 'N'}.
void PressKeys(const std::vector<WORD>& keys);
// A step that presses the keys and is done once this thread has taken them,
// and all they made it post, from its queue.
Script::Step Keys(std::vector<WORD> keys);
// Moves the mouse to a screen point.
void MoveMouse(POINT screen);
// Moves the mouse to a screen point and clicks the left button there.
void Click(POINT screen);
// The centre of a window, in screen coordinates.
POINT CentreOf(HWND window);
// A screen point of the window's close box (found through hit testing).
bool FindCloseBox(HWND window, POINT& screen);

// Makes the window the foreground window with the keyboard focus.
void BringToFront(HWND window);

// This thread's visible top-level windows of a window class ("#32770").
std::vector<HWND> ThreadWindows(const char* class_name);

// Whether the rebar's band with this id is hidden.
bool BandHidden(HWND rebar, UINT band_id);

}  // namespace brx::testing
