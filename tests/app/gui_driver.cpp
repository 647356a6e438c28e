#include "tests/app/gui_driver.h"

#include <commctrl.h>

#include "tests/framework/input_script.h"

namespace brx::testing {
namespace {

Script* running_script = nullptr;

void SendKey(WORD key, bool up) {
  INPUT input = gui_test::KeyInput(key, up);
  SendInput(1, &input, sizeof input);
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

Script::Script(std::vector<Step> steps, UINT tick_ms, UINT limit_ms) : steps_(std::move(steps)) {
  running_script = this;
  tick_ = SetTimer(nullptr, 0, tick_ms, OnTick);
  watchdog_ = SetTimer(nullptr, 0, limit_ms, OnWatchdog);
}

Script::~Script() {
  KillTimer(nullptr, tick_);
  KillTimer(nullptr, watchdog_);
  running_script = nullptr;
}

void CALLBACK Script::OnTick(HWND, UINT, UINT_PTR, DWORD) {
  Script* self = running_script;
  // A step may open a modal loop in which the next ticks arrive: one at a time.
  if (!self || self->running_ || self->finished() || self->timed_out_) return;
  self->running_ = true;
  const std::size_t index = self->next_;
  if (self->steps_[index]()) ++self->next_;
  self->running_ = false;
}

void CALLBACK Script::OnWatchdog(HWND, UINT, UINT_PTR, DWORD) {
  Script* self = running_script;
  if (!self || self->timed_out_) return;
  self->timed_out_ = true;
  KillTimer(nullptr, self->watchdog_);
  EndMenu();
  for (HWND dialog : ThreadWindows("#32770")) EndDialog(dialog, IDCANCEL);
  PostQuitMessage(kTimedOut);
}

Script::Step Until(std::function<bool()> condition, DWORD limit_ms) {
  DWORD start = 0;
  return [start, condition = std::move(condition), limit_ms]() mutable {
    if (!start) start = GetTickCount();
    return condition() || GetTickCount() - start >= limit_ms;
  };
}

void PressKeys(const std::vector<WORD>& keys) {
  for (WORD key : keys) SendKey(key, false);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) SendKey(*it, true);
}

Script::Step Keys(std::vector<WORD> keys) {
  bool pressed = false;
  return [keys = std::move(keys), pressed]() mutable {
    if (pressed) return gui_test::QueueDrained();
    PressKeys(keys);
    pressed = true;
    return false;
  };
}

void MoveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  SendMouse(MOUSEEVENTF_MOVE);
}

void Click(POINT screen) {
  MoveMouse(screen);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

POINT CentreOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool FindCloseBox(HWND window, POINT& screen) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  for (int y = rect.top; y < rect.top + 2 * caption; ++y) {
    for (int x = rect.right - 1; x > rect.right - 6 * caption; --x) {
      if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
        screen = {x - 3, y + 3};
        return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTCLOSE;
      }
    }
  }
  return false;
}

void BringToFront(HWND window) {
  SetForegroundWindow(window);
  SetActiveWindow(window);
  SetFocus(window);
}

std::vector<HWND> ThreadWindows(const char* class_name) {
  struct Search {
    const char* class_name;
    std::vector<HWND> found;
  } search{class_name, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (IsWindowVisible(window) && lstrcmpiA(name, s->class_name) == 0)
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool BandHidden(HWND rebar, UINT band_id) {
  const auto index = static_cast<UINT>(SendMessageA(rebar, RB_IDTOINDEX, band_id, 0));
  REBARBANDINFOA band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_STYLE;
  SendMessageA(rebar, RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band));
  return (band.fStyle & RBBS_HIDDEN) != 0;
}

}  // namespace brx::testing
