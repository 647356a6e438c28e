// The message loop on a real queue: when idle passes run, in which order
// pre-translators and idle tasks are asked, and the quit code.
#include "app/message_loop.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace brx {
namespace {

constexpr UINT kCaretBlinkTimer = 0x0118;
constexpr UINT_PTR kWakeUpTimer = 1;
constexpr UINT kQuitCode = 7;
constexpr UINT kDone = WM_USER + 9;

std::vector<std::string>* journal = nullptr;
// Besides private messages, the one message a test watches for.
UINT watched_message = 0;

// A hidden window that notes the messages it is sent through the queue and
// ends the loop at its wake-up timer.
LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && wparam == kWakeUpTimer) {
    KillTimer(window, kWakeUpTimer);
    journal->push_back("wake-up");
    PostQuitMessage(kQuitCode);
    return 0;
  }
  if (message >= WM_USER || message == watched_message) {
    journal->push_back("message " + std::to_string(message));
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

class RecordingWindow {
 public:
  RecordingWindow() {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = RecordingProcedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "BrxLoopTestWindow";
    RegisterClassA(&window_class);
    window_ = CreateWindowExA(0, "BrxLoopTestWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, window_class.hInstance, nullptr);
  }
  ~RecordingWindow() { DestroyWindow(window_); }
  HWND hwnd() const { return window_; }

 private:
  HWND window_;
};

class RecordingTask : public CIdleTask {
 public:
  RecordingTask(std::string name, std::function<void(int call)> on_idle = {})
      : name_(std::move(name)), on_idle_(std::move(on_idle)) {}
  bool DoIdle() override {
    journal->push_back(name_);
    if (on_idle_) on_idle_(++calls_);
    // Asking for more must not make the loop idle again.
    return true;
  }

 private:
  std::string name_;
  std::function<void(int)> on_idle_;
  int calls_ = 0;
};

class RecordingTranslator : public CPreTranslator {
 public:
  RecordingTranslator(std::string name, UINT consumed)
      : name_(std::move(name)), consumed_(consumed) {}
  bool PreTranslate(MSG& message) override {
    if (message.message < WM_USER) return false;
    journal->push_back(name_ + " saw " + std::to_string(message.message));
    return message.message == consumed_;
  }

 private:
  std::string name_;
  UINT consumed_;
};

class MessageLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { journal = &events_; }
  void TearDown() override {
    journal = nullptr;
    watched_message = 0;
  }
  std::vector<std::string> events_;
};

struct InputCase {
  const char* name;
  UINT message;
  bool triggers_idle;
};

class IdleRuleTest : public MessageLoopTest, public ::testing::WithParamInterface<InputCase> {};

// One idle pass at start; then a message arrives and the queue runs dry. A
// timer wakes the loop up afterwards, so a missing pass cannot hang the test.
TEST_P(IdleRuleTest, IdlesAgainOnlyAfterInput) {
  const InputCase input = GetParam();
  watched_message = input.message;
  RecordingWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  CMessageLoop loop;
  RecordingTask task("idle", [&](int call) {
    if (call != 1) return;
    if (input.message == WM_PAINT) {
      // The real thing: painting comes from an invalid region, not the queue.
      ShowWindow(window.hwnd(), SW_SHOWNA);
      ValidateRect(window.hwnd(), nullptr);
      InvalidateRect(window.hwnd(), nullptr, FALSE);
    } else {
      PostMessageA(window.hwnd(), input.message, 0, 0);
    }
    SetTimer(window.hwnd(), kWakeUpTimer, 300, nullptr);
  });
  ASSERT_TRUE(loop.AddIdleTask(&task));

  EXPECT_EQ(loop.Run(), static_cast<int>(kQuitCode));

  std::vector<std::string> expected{"idle", "message " + std::to_string(input.message)};
  if (input.triggers_idle) expected.push_back("idle");
  expected.push_back("wake-up");
  EXPECT_EQ(events_, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, IdleRuleTest,
    ::testing::Values(InputCase{"MouseMove", WM_MOUSEMOVE, false},
                      InputCase{"NonClientMouseMove", WM_NCMOUSEMOVE, false},
                      InputCase{"Paint", WM_PAINT, false},
                      InputCase{"CaretBlink", kCaretBlinkTimer, false},
                      InputCase{"KeyDown", WM_KEYDOWN, true},
                      InputCase{"Click", WM_LBUTTONDOWN, true},
                      // The neighbours of the caret-blink timer count as input.
                      InputCase{"InitMenuPopup", WM_INITMENUPOPUP, true},
                      InputCase{"MenuSelect", WM_MENUSELECT, true},
                      InputCase{"PrivateMessage", WM_USER + 5, true}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

// Mouse moves arrive one by one from another thread, so the queue runs dry
// after each of them: only the key in the middle earns a pass.
TEST_F(MessageLoopTest, MouseMovesWithPausesGiveNoPassesAndAKeyGivesOne) {
  watched_message = WM_MOUSEMOVE;
  RecordingWindow window;
  HWND target = window.hwnd();
  CMessageLoop loop;
  std::thread mouse;
  // Set when the key's idle pass has run: the next move must come after it.
  HANDLE key_pass = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  RecordingTask task("idle", [&](int call) {
    if (call == 2) SetEvent(key_pass);
    if (call != 1) return;
    mouse = std::thread([target, key_pass] {
      for (int i = 0; i < 20; ++i) {
        if (i == 10) {
          PostMessageA(target, WM_USER + 1, 0, 0);  // stands for a key
          WaitForSingleObject(key_pass, 5000);
        }
        PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(i, i));
        Sleep(15);
      }
      PostMessageA(target, kDone, 0, 0);
    });
  });
  loop.AddIdleTask(&task);
  // Quitting as the last message arrives leaves no dry spell for another pass.
  struct QuitOnDone : CPreTranslator {
    bool PreTranslate(MSG& message) override {
      if (message.message == kDone) PostQuitMessage(kQuitCode);
      return false;
    }
  } quit_on_done;
  loop.AddPreTranslator(&quit_on_done);

  loop.Run();
  mouse.join();
  CloseHandle(key_pass);
  std::vector<std::string> expected{"idle"};
  const std::string move = "message " + std::to_string(WM_MOUSEMOVE);
  for (int i = 0; i < 20; ++i) {
    if (i == 10) {
      expected.push_back("message " + std::to_string(WM_USER + 1));
      expected.push_back("idle");
    }
    expected.push_back(move);
  }
  expected.push_back("message " + std::to_string(kDone));
  EXPECT_EQ(events_, expected);
}

TEST_F(MessageLoopTest, PreTranslatorsAreAskedNewestFirstAndConsumeForGood) {
  RecordingWindow window;
  CMessageLoop loop;
  RecordingTranslator older("older", WM_USER + 2);
  RecordingTranslator newer("newer", WM_USER + 1);
  loop.AddPreTranslator(&older);
  loop.AddPreTranslator(&newer);
  RecordingTask task("idle", [&](int call) {
    if (call != 1) return;
    PostMessageA(window.hwnd(), WM_USER + 1, 0, 0);
    PostMessageA(window.hwnd(), WM_USER + 2, 0, 0);
    PostMessageA(window.hwnd(), WM_USER + 3, 0, 0);
    PostQuitMessage(kQuitCode);
  });
  loop.AddIdleTask(&task);

  EXPECT_EQ(loop.Run(), static_cast<int>(kQuitCode));
  const std::string first = std::to_string(WM_USER + 1), second = std::to_string(WM_USER + 2),
                    third = std::to_string(WM_USER + 3);
  const std::vector<std::string> expected{
      "idle",
      "newer saw " + first,  // consumed: the older one and the window never see it
      "newer saw " + second,
      "older saw " + second,  // consumed by the older one
      "newer saw " + third,
      "older saw " + third,
      "message " + third,
  };
  EXPECT_EQ(events_, expected);
}

TEST_F(MessageLoopTest, IdleTasksRunOldestFirstAndRemovedOnesAreSkipped) {
  CMessageLoop loop;
  RecordingTask first("first", [](int) { PostQuitMessage(kQuitCode); });
  RecordingTask removed("removed");
  RecordingTask last("last");
  loop.AddIdleTask(&first);
  loop.AddIdleTask(&removed);
  loop.AddIdleTask(&last);
  loop.RemoveIdleTask(&removed);

  EXPECT_EQ(loop.Run(), static_cast<int>(kQuitCode));
  EXPECT_EQ(events_, (std::vector<std::string>{"first", "last"}));
}

TEST_F(MessageLoopTest, RunReturnsTheQuitCode) {
  CMessageLoop loop;
  RecordingTask task("idle", [](int) { PostQuitMessage(1234); });
  loop.AddIdleTask(&task);
  EXPECT_EQ(loop.Run(), 1234);
}

TEST_F(MessageLoopTest, ARemovedPreTranslatorIsNotAsked) {
  RecordingWindow window;
  CMessageLoop loop;
  RecordingTranslator gone("gone", WM_USER + 1);
  loop.AddPreTranslator(&gone);
  loop.RemovePreTranslator(&gone);
  RecordingTask task("idle", [&](int call) {
    if (call != 1) return;
    PostMessageA(window.hwnd(), WM_USER + 1, 0, 0);
    PostQuitMessage(kQuitCode);
  });
  loop.AddIdleTask(&task);
  loop.Run();
  EXPECT_EQ(events_, (std::vector<std::string>{"idle", "message " + std::to_string(WM_USER + 1)}));
}

}  // namespace
}  // namespace brx
