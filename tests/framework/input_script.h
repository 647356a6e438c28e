// Real input for GUI tests. A script runs on a second thread and sends key
// and mouse events with SendInput while the test's own thread keeps pumping
// messages, so that modal loops (popup menus) run inside the pump as they do
// in the program. After each action the script waits until the pumping
// thread has taken the input, and whatever it posted on the way, from its
// queue, so that a step is judged on what it did, however slow the machine.
// A watchdog ends any menu left open and stops the script, so a failing test
// cannot hang.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace brx::gui_test {

// A key event for SendInput; the arrows, Insert and Delete of the grey block
// are extended keys.
INPUT KeyInput(WORD key, bool up);

// True when this thread's queue holds no input and no posted message: all
// that was sent or posted to it so far has been taken and handled.
bool QueueDrained();

class InputScript {
 public:
  void Tap(WORD key);
  // `key` pressed, or let go, alone.
  void Hold(WORD key);
  void Release(WORD key);
  // `modifier` held down around `key`.
  void Chord(WORD modifier, WORD key);
  void MoveTo(POINT screen);
  void Click(POINT screen);
  // Posts a message, as the system or the program would.
  void Post(HWND window, UINT message);
  // Polls `condition` until it holds; false when the time is up or the
  // watchdog stopped the script.
  bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 3000);
  bool stopped() const;
};

// Runs `script` on a second thread while this thread pumps its messages.
// False when the watchdog had to stop it after `limit_milliseconds`.
bool RunInputScript(const std::function<void(InputScript&)>& script,
                    DWORD limit_milliseconds = 30000);

// Pumps this thread's messages until `condition` holds; false when it did not
// within `milliseconds`.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 3000);

// The screen's pixels in `rect` as 0x00RRGGBB, row by row, read through the
// screen's device context (menus included, as the user sees them).
std::vector<std::uint32_t> ReadScreen(const RECT& rect);

}  // namespace brx::gui_test
