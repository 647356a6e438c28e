#include "tests/framework/input_script.h"

#include <atomic>
#include <initializer_list>

#include "framework/menu_bar_images.h"

namespace brx::gui_test {
namespace {

std::atomic<bool> script_stopped{false};
std::atomic<DWORD> script_deadline{0};

HWND relay = nullptr;
constexpr UINT kRelayInput = WM_APP;
constexpr UINT kRelayAskDrained = WM_APP + 1;

// Input is sent from the pumping thread: under Wine, a mouse move sent from
// another thread warps the X pointer through that thread's X connection, and
// the pumping thread's then reports the old position as a motion of its own
// once a new window (a popup) appears under the pointer. The same window
// answers, on the pumping thread, whether its queue is drained.
LRESULT CALLBACK RelayProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kRelayInput) return SendInput(1, reinterpret_cast<INPUT*>(lparam), sizeof(INPUT));
  if (message == kRelayAskDrained) return QueueDrained();
  return DefWindowProcA(window, message, wparam, lparam);
}

void Send(INPUT input) {
  DWORD_PTR sent = 0;
  SendMessageTimeoutA(relay, kRelayInput, 0, reinterpret_cast<LPARAM>(&input), SMTO_NORMAL, 2000,
                      &sent);
}

// Waits until the pumping thread has taken what was sent; bounded, as the
// condition the step waits for next is.
void Settle() {
  const DWORD start = GetTickCount();
  while (!script_stopped && GetTickCount() - start < 3000) {
    DWORD_PTR drained = 0;
    if (SendMessageTimeoutA(relay, kRelayAskDrained, 0, 0, SMTO_NORMAL, 2000, &drained) && drained)
      return;
    Sleep(5);
  }
}

// Sends the events in order, then waits until they are taken.
void Play(std::initializer_list<INPUT> events) {
  if (script_stopped) return;
  for (const INPUT& event : events) Send(event);
  Settle();
}

INPUT MouseInput(DWORD flags, POINT screen) {
  // Absolute coordinates run from 0 to 65536 across the screen; rounding up
  // makes the system's rounding down land on the wanted pixel.
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + width - 1) / width);
  input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + height - 1) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return input;
}

// Past the deadline, every tick ends whatever menu is open and stops the script.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() < script_deadline) return;
  script_stopped = true;
  EndMenu();
}

struct ScriptThread {
  const std::function<void(InputScript&)>* script;
  InputScript input;
};

DWORD WINAPI RunScript(LPVOID parameter) {
  auto* thread = static_cast<ScriptThread*>(parameter);
  (*thread->script)(thread->input);
  return 0;
}

void DispatchWaiting() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  switch (key) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  return input;
}

bool QueueDrained() {
  return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE)) == 0;
}

void InputScript::Tap(WORD key) {
  Play({KeyInput(key, false), KeyInput(key, true)});
}

void InputScript::Hold(WORD key) {
  Play({KeyInput(key, false)});
}

void InputScript::Release(WORD key) {
  Play({KeyInput(key, true)});
}

void InputScript::Chord(WORD modifier, WORD key) {
  Play({KeyInput(modifier, false), KeyInput(key, false), KeyInput(key, true),
        KeyInput(modifier, true)});
}

void InputScript::MoveTo(POINT screen) {
  Play({MouseInput(MOUSEEVENTF_MOVE, screen)});
}

void InputScript::Click(POINT screen) {
  Play({MouseInput(MOUSEEVENTF_MOVE, screen), MouseInput(MOUSEEVENTF_LEFTDOWN, screen),
        MouseInput(MOUSEEVENTF_LEFTUP, screen)});
}

void InputScript::Post(HWND window, UINT message) {
  if (stopped()) return;
  PostMessageA(window, message, 0, 0);
  Settle();
}

bool InputScript::WaitFor(const std::function<bool()>& condition, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (!stopped()) {
    if (condition()) return true;
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(10);
  }
  return false;
}

bool InputScript::stopped() const {
  return script_stopped;
}

bool RunInputScript(const std::function<void(InputScript&)>& script, DWORD limit_milliseconds) {
  script_stopped = false;
  script_deadline = GetTickCount() + limit_milliseconds;
  WNDCLASSA relay_class{};
  relay_class.lpfnWndProc = RelayProcedure;
  relay_class.hInstance = GetModuleHandleA(nullptr);
  relay_class.lpszClassName = "BrxInputRelay";
  RegisterClassA(&relay_class);
  relay = CreateWindowExA(0, relay_class.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                          nullptr, relay_class.hInstance, nullptr);
  ScriptThread context{&script, {}};
  HANDLE thread = CreateThread(nullptr, 0, RunScript, &context, 0, nullptr);
  if (!thread) return false;
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 100, Watchdog);
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
    DispatchWaiting();
  KillTimer(nullptr, watchdog);
  CloseHandle(thread);
  DestroyWindow(relay);
  return !script_stopped;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; !condition(); elapsed = GetTickCount() - start) {
    if (elapsed >= milliseconds) return false;
    // Woken by any message, or after a while to look again at a condition
    // that changes without one.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    DispatchWaiting();
  }
  return true;
}

std::vector<std::uint32_t> ReadScreen(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = framework::TopDown32BitInfo(width, height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (auto& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

}  // namespace brx::gui_test
