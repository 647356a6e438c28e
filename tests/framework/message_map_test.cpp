// Message maps, window binding and dialogs on real windows.
#include "framework/message_map.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/fatal_error.h"
#include "framework/window.h"
#include "tests/framework/test_dialog_ids.h"

namespace brx::framework {
namespace {

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kPassOn = WM_APP + 2;
constexpr UINT kChained = WM_APP + 3;
constexpr UINT kUnhandled = WM_APP + 4;
constexpr UINT kThrow = WM_APP + 5;

class Recorder : public CWindowImpl {
 public:
  std::vector<std::string> events;

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override {
    using Map = MessageMap<Recorder>;
    static const Map map{
        Map::Entry::Message(kFirst, &Recorder::OnFirst),
        Map::Entry::Message(kPassOn, &Recorder::OnPassOn),
        Map::Entry::Chain(&Recorder::Mixin),
        Map::Entry::Message(kPassOn, &Recorder::OnPassOnLater),
        Map::Entry::Command(7, &Recorder::OnCommandSeven),
        Map::Entry::Command(8, BN_CLICKED, &Recorder::OnCommandEightClicked),
        Map::Entry::Message(kThrow, &Recorder::OnThrow),
    };
    return map.Dispatch(*this, window, message, wparam, lparam, result);
  }

 protected:
  void OnFinalMessage(HWND) override { events.push_back("final"); }

 private:
  LRESULT OnFirst(UINT, WPARAM, LPARAM, bool&) {
    events.push_back("first");
    return 11;
  }
  LRESULT OnPassOn(UINT, WPARAM, LPARAM, bool& handled) {
    events.push_back("pass on");
    handled = false;
    return 0;
  }
  LRESULT OnPassOnLater(UINT, WPARAM, LPARAM, bool&) {
    events.push_back("later");
    return 22;
  }
  bool Mixin(HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != kChained && message != kPassOn) return false;
    events.push_back("chained");
    result = 33;
    return message == kChained;
  }
  LRESULT OnCommandSeven(WORD code, WORD id, HWND, bool&) {
    events.push_back("command " + std::to_string(id) + " code " + std::to_string(code));
    return 0;
  }
  LRESULT OnCommandEightClicked(WORD, WORD, HWND, bool&) {
    events.push_back("eight clicked");
    return 0;
  }
  LRESULT OnThrow(UINT, WPARAM, LPARAM, bool&) { throw std::runtime_error("handler failed"); }
};

TEST(MessageMap, EntriesInOrderWithTheHandledFlagAndChains) {
  Recorder recorder;
  HWND window = recorder.Create(nullptr, nullptr, "recorder", WS_OVERLAPPEDWINDOW, 0, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(recorder.hwnd(), window);

  EXPECT_EQ(SendMessageA(window, kFirst, 0, 0), 11);
  EXPECT_EQ(SendMessageA(window, kPassOn, 0, 0), 22);
  EXPECT_EQ(SendMessageA(window, kChained, 0, 0), 33);
  // No entry: default processing, which answers 0.
  EXPECT_EQ(SendMessageA(window, kUnhandled, 0, 0), 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(7, 1), 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(8, 1), 0);  // not BN_CLICKED: no entry
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(0x10007, 0), 0);  // only the low word is the id

  const std::vector<std::string> expected{"first",         "pass on",         "chained",
                                          "later",         "chained",         "command 7 code 1",
                                          "eight clicked", "command 7 code 0"};
  EXPECT_EQ(recorder.events, expected);

  DestroyWindow(window);
  EXPECT_EQ(recorder.events.back(), "final");
  EXPECT_EQ(recorder.hwnd(), nullptr);
}

TEST(Window, ClassNameIsGeneratedFromTheClassRecord) {
  Recorder recorder;
  HWND window = recorder.Create(nullptr, nullptr, "named", WS_OVERLAPPEDWINDOW, 0, nullptr);
  ASSERT_NE(window, nullptr);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  EXPECT_EQ(std::string(name).rfind("BrxWnd:", 0), 0u) << name;
  EXPECT_GT(std::string(name).size(), 7u);
  DestroyWindow(window);
}

TEST(Window, DestroyingTheObjectFirstReleasesAndDestroysTheWindow) {
  HWND window = nullptr;
  {
    Recorder recorder;
    window = recorder.Create(nullptr, nullptr, "short-lived", WS_OVERLAPPEDWINDOW, 0, nullptr);
    ASSERT_NE(window, nullptr);
  }
  EXPECT_FALSE(IsWindow(window));
}

class Form : public CDialog {
 public:
  std::vector<std::string> events;

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override {
    using Map = MessageMap<Form>;
    static const Map map{
        Map::Entry::Message(WM_INITDIALOG, &Form::OnInitDialog),
        Map::Entry::Command(IDC_TEST_BUTTON, BN_CLICKED, &Form::OnPress),
        Map::Entry::Notify(IDC_TEST_EDIT, -12345, &Form::OnCustomNotify),
        Map::Entry::Command(IDOK, &Form::OnOk),
    };
    return map.Dispatch(*this, window, message, wparam, lparam, result);
  }

 protected:
  void OnFinalMessage(HWND) override { events.push_back("final"); }

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
    events.push_back(hwnd() ? "init, bound" : "init, unbound");
    return 0;
  }
  LRESULT OnPress(WORD, WORD, HWND, bool&) {
    events.push_back("pressed");
    return 0;
  }
  LRESULT OnCustomNotify(int id, NMHDR*, bool&) {
    events.push_back("notify " + std::to_string(id));
    return 77;
  }
  LRESULT OnOk(WORD, WORD id, HWND, bool&) {
    EndDialog(hwnd(), id);
    return 0;
  }
};

TEST(Dialog, ModelessChildSeesInitCommandsAndNotifications) {
  Recorder parent;
  HWND frame = parent.Create(nullptr, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, nullptr);
  Form form;
  HWND dialog = form.CreateModeless(IDD_TEST_FORM, frame);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetParent(dialog), frame);

  SendDlgItemMessageA(dialog, IDC_TEST_BUTTON, BM_CLICK, 0, 0);
  NMHDR header{GetDlgItem(dialog, IDC_TEST_EDIT), IDC_TEST_EDIT, static_cast<UINT>(-12345)};
  // A dialog's handler result travels through DWLP_MSGRESULT.
  EXPECT_EQ(SendMessageA(dialog, WM_NOTIFY, IDC_TEST_EDIT, reinterpret_cast<LPARAM>(&header)), 77);

  DestroyWindow(dialog);
  const std::vector<std::string> expected{"init, bound", "pressed", "notify 910", "final"};
  EXPECT_EQ(form.events, expected);
  EXPECT_EQ(form.hwnd(), nullptr);
  DestroyWindow(frame);
}

Form* modal_box = nullptr;

TEST(Dialog, ModalBoxReturnsTheEndCode) {
  Form box;
  modal_box = &box;
  // Presses OK once the box is there, from inside its modal loop. Not through
  // the active window: under X the activation can come later than the loop.
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    if (modal_box->hwnd()) PostMessageA(modal_box->hwnd(), WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(box.RunModal(IDD_TEST_BOX, nullptr), IDOK);
  KillTimer(nullptr, timer);
  EXPECT_EQ(box.events.front(), "init, bound");
}

void QuietReporter(const char* text) {
  std::fputs(text, stderr);
}

TEST(FatalError, AnExceptionInAHandlerEndsTheProgramWithADiagnostic) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetFatalErrorReporter(QuietReporter);
        Recorder recorder;
        HWND window = recorder.Create(nullptr, nullptr, "throws", WS_OVERLAPPEDWINDOW, 0, nullptr);
        SendMessageA(window, kThrow, 0, 0);
      },
      ::testing::ExitedWithCode(3), "internal error and must close: handler failed");
}

}  // namespace
}  // namespace brx::framework
