#include "tests/file_commands/dialog_steps.h"

namespace brx::testing {
namespace {

// The file-name control of the explorer-style file dialogs: cmb13 in the
// newer template; Wine takes the older one (edt1) when a hook is given.
constexpr int kFileNameCombo = 1148;
constexpr int kFileNameEdit = 1152;

HWND FileNameControl(HWND dialog) {
  HWND combo = GetDlgItem(dialog, kFileNameCombo);
  return combo ? combo : GetDlgItem(dialog, kFileNameEdit);
}

std::string TextOfFirstStatic(HWND box) {
  std::string found;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM param) {
        char class_name[16] = {};
        GetClassNameA(child, class_name, sizeof class_name);
        const std::string text = WindowText(child);
        if (lstrcmpiA(class_name, "Static") == 0 && !text.empty()) {
          *reinterpret_cast<std::string*>(param) = text;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

HWND FindFileDialog() {
  for (HWND dialog : ThreadWindows("#32770")) {
    if (FileNameControl(dialog)) return dialog;
  }
  return nullptr;
}

HWND FindProgramMessageBox() {
  for (HWND box : ThreadWindows("#32770")) {
    if (WindowText(box) == "BRXEDIT" && !FileNameControl(box)) return box;
  }
  return nullptr;
}

std::string MessageText(HWND box) {
  return TextOfFirstStatic(box);
}

Script::Step ChooseFileName(const std::string& name) {
  return [name] {
    HWND dialog = FindFileDialog();
    if (!dialog) return false;
    SetWindowTextA(FileNameControl(dialog), name.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
  };
}

Script::Step CancelFileDialog() {
  return [] {
    HWND dialog = FindFileDialog();
    if (!dialog) return false;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return true;
  };
}

Script::Step FileDialogClosed() {
  return [] { return FindFileDialog() == nullptr; };
}

Script::Step ReadAndCloseMessageBox(std::string& text, bool* owner_visible) {
  return [&text, owner_visible] {
    HWND box = FindProgramMessageBox();
    if (!box) return false;
    text = MessageText(box);
    if (owner_visible) *owner_visible = IsWindowVisible(GetWindow(box, GW_OWNER)) != FALSE;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
  };
}

Script::Step AnswerQuestion(int answer, std::string& text) {
  return [answer, &text] {
    HWND dialog = FindFileDialog();
    if (!dialog) return false;
    for (HWND box : ThreadWindows("#32770")) {
      if (GetWindow(box, GW_OWNER) == dialog && GetDlgItem(box, answer)) {
        text = MessageText(box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        return true;
      }
    }
    return false;
  };
}

}  // namespace brx::testing
