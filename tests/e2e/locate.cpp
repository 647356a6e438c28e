// Tells the end-to-end scripts where things are on the screen of the running
// BRXEDIT and what they show, so that xdotool can click and type there like a
// user. Wine's child windows are not X windows, so X alone cannot say where a
// button or a tree item is.
//
//   locate frame                 X Y W H XID of the main frame
//   locate control ID            X Y W H of the frame's visible control with the id
//   locate tree-item N           X Y W H of the Nth tree item (depth first, from 0)
//   locate toolbar-button CMD    X Y W H of the toolbar button with the command id
//   locate menubar-button N      X Y W H of the Nth menu bar button (0: File)
//   locate tree-count            the number of tree items
//   locate selected              the tree order number of the selected item, -1 for none
//   locate text ID               the text of the frame's visible control with the id
//   locate checked ID            1 when that check box is checked, else 0
//   locate windows               one line per visible top-level window of the
//                                program: class, title, X Y W H, XID
//   locate message               the text of the program's message box titled "BRXEDIT"
//   locate focus                 CLASS|TITLE|TEXT of the window with the keyboard
//                                focus (TITLE: of its top-level window), while
//                                one of the program's windows is in front
//   locate focus-xid             the X window of that focus window's top-level window
//   locate release-keys          lets go of every key Wine still holds down
//
// Exit code 0 when found, 1 when not, 2 on wrong usage.
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/window_text.h"

namespace {

using brx::testing::WindowText;

constexpr char kTitle[] = "BRXEDIT";
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// WM_GETTEXT, which Wine carries across processes (GetWindowText does not
// ask a window of another process).
std::string TextOf(HWND window) {
  char text[1024] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

HWND FindFrame() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM param) {
        if (IsWindowVisible(window) && WindowText(window) == kTitle &&
            ClassOf(window) != "#32770") {
          *reinterpret_cast<HWND*>(param) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND VisibleControl(HWND frame, int id) {
  for (HWND child : Descendants(frame)) {
    if (GetDlgCtrlID(child) == id && IsWindowVisible(child)) return child;
  }
  return nullptr;
}

// The toolbar that carries the command (the menu bar is a toolbar too).
HWND ToolbarWith(HWND frame, int command) {
  for (HWND child : Descendants(frame)) {
    if (ClassOf(child) == TOOLBARCLASSNAMEA &&
        SendMessageA(child, TB_COMMANDTOINDEX, command, 0) >= 0)
      return child;
  }
  return nullptr;
}

HWND MenuBar(HWND frame) {
  for (HWND child : Descendants(frame)) {
    if (ClassOf(child) == TOOLBARCLASSNAMEA &&
        SendMessageA(child, TB_COMMANDTOINDEX, ID_FILE_NEW, 0) < 0)
      return child;
  }
  return nullptr;
}

// Messages whose parameter points at a RECT need the RECT in the target
// process: borrow memory there, let the control fill it, read it back.
class RemoteRect {
 public:
  explicit RemoteRect(HWND window) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
    if (process_)
      memory_ = VirtualAllocEx(process_, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteRect() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteRect(const RemoteRect&) = delete;
  RemoteRect& operator=(const RemoteRect&) = delete;

  // Sends the message with the remote RECT (first filled with `in`) as lParam.
  bool Ask(HWND window, UINT message, WPARAM wparam, const RECT& in, RECT& out) {
    if (!memory_) return false;
    if (!WriteProcessMemory(process_, memory_, &in, sizeof in, nullptr)) return false;
    if (!SendMessageA(window, message, wparam, reinterpret_cast<LPARAM>(memory_))) return false;
    return ReadProcessMemory(process_, memory_, &out, sizeof out, nullptr) != FALSE;
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
};

int PrintScreenRect(HWND window, RECT rect) {
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}

int PrintWindowRect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return PrintScreenRect(window, rect);
}

std::vector<HTREEITEM> TreeItems(HWND tree) {
  std::vector<HTREEITEM> items;
  auto next = [tree](HTREEITEM item, WPARAM how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  for (HTREEITEM top = next(nullptr, TVGN_ROOT); top; top = next(top, TVGN_NEXT)) {
    items.push_back(top);
    for (HTREEITEM child = next(top, TVGN_CHILD); child; child = next(child, TVGN_NEXT))
      items.push_back(child);
  }
  return items;
}

HWND Tree(HWND frame) {
  return VisibleControl(frame, IDC_STRUCTURE_TREE);
}

int TreeItemPlace(HWND frame, std::size_t n) {
  HWND tree = Tree(frame);
  const std::vector<HTREEITEM> items = TreeItems(tree);
  if (n >= items.size()) return kNotFound;
  // TVM_GETITEMRECT takes the item handle in the RECT it fills.
  RECT in{};
  std::memcpy(&in, &items[n], sizeof items[n]);
  RECT out{};
  RemoteRect remote(tree);
  if (!remote.Ask(tree, TVM_GETITEMRECT, TRUE, in, out)) return kNotFound;
  return PrintScreenRect(tree, out);
}

int ButtonPlace(HWND toolbar, LRESULT index) {
  if (!toolbar || index < 0) return kNotFound;
  RECT out{};
  RemoteRect remote(toolbar);
  if (!remote.Ask(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), RECT{}, out))
    return kNotFound;
  return PrintScreenRect(toolbar, out);
}

std::vector<HWND> ProgramWindows(HWND frame) {
  struct Search {
    DWORD process_id;
    std::vector<HWND> found;
  } search{};
  GetWindowThreadProcessId(frame, &search.process_id);
  EnumWindows(
      [](HWND window, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD process_id = 0;
        GetWindowThreadProcessId(window, &process_id);
        if (process_id == s->process_id && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

unsigned long long XidOf(HWND window) {
  return reinterpret_cast<unsigned long long>(GetPropA(window, "__wine_x11_whole_window"));
}

int PrintWindows(HWND frame) {
  for (HWND window : ProgramWindows(frame)) {
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%s|%s|%ld %ld %ld %ld|%llu\n", ClassOf(window).c_str(), WindowText(window).c_str(),
                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, XidOf(window));
  }
  return 0;
}

int PrintMessage(HWND frame) {
  for (HWND window : ProgramWindows(frame)) {
    if (ClassOf(window) != "#32770" || WindowText(window) != kTitle) continue;
    for (HWND child : Descendants(window)) {
      const std::string text = TextOf(child);
      if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 && !text.empty()) {
        std::printf("%s\n", text.c_str());
        return 0;
      }
    }
  }
  return kNotFound;
}

// The window with the keyboard focus, while one of the program's windows is
// in front; null otherwise.
HWND FocusOf(HWND frame) {
  const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetWindowThreadProcessId(GetForegroundWindow(), nullptr) != thread ||
      !GetGUIThreadInfo(thread, &info))
    return nullptr;
  return info.hwndFocus;
}

int PrintFocus(HWND frame) {
  HWND focus = FocusOf(frame);
  if (!focus) return kNotFound;
  std::printf("%s|%s|%s\n", ClassOf(focus).c_str(), WindowText(GetAncestor(focus, GA_ROOT)).c_str(),
              TextOf(focus).c_str());
  return 0;
}

int PrintFocusXid(HWND frame) {
  HWND focus = FocusOf(frame);
  if (!focus) return kNotFound;
  std::printf("%llu\n", XidOf(GetAncestor(focus, GA_ROOT)));
  return 0;
}

// A program that ends on a key press (Alt+F4, a menu's access key) leaves
// that key held in Wine's server: its release reaches no window of Wine any
// more. The next program would start with Alt held, and the server would let
// go of it by itself at some moment of its own, in the middle of a test.
int ReleaseKeys() {
  for (int key = 1; key < 256; ++key) {
    if (!(GetAsyncKeyState(key) & 0x8000)) continue;
    INPUT release{};
    release.type = INPUT_KEYBOARD;
    release.ki.wVk = static_cast<WORD>(key);
    release.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &release, sizeof release);
  }
  return 0;
}

int Run(const std::string& what, const char* argument) {
  if (what == "release-keys") return ReleaseKeys();
  HWND frame = FindFrame();
  if (!frame) return kNotFound;
  const int number = argument ? std::atoi(argument) : 0;
  if (what == "frame") {
    RECT rect{};
    GetWindowRect(frame, &rect);
    std::printf("%ld %ld %ld %ld %llu\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, XidOf(frame));
    return 0;
  }
  if (what == "windows") return PrintWindows(frame);
  if (what == "message") return PrintMessage(frame);
  if (what == "focus") return PrintFocus(frame);
  if (what == "focus-xid") return PrintFocusXid(frame);
  if (what == "tree-count") {
    std::printf("%ld\n", static_cast<long>(SendMessageA(Tree(frame), TVM_GETCOUNT, 0, 0)));
    return 0;
  }
  if (what == "selected") {
    HWND tree = Tree(frame);
    const auto selected =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    const std::vector<HTREEITEM> items = TreeItems(tree);
    long order = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i] == selected) order = static_cast<long>(i);
    }
    std::printf("%ld\n", order);
    return 0;
  }
  if (!argument) return kUsage;
  if (what == "tree-item") return TreeItemPlace(frame, static_cast<std::size_t>(number));
  if (what == "toolbar-button") {
    HWND toolbar = ToolbarWith(frame, number);
    return ButtonPlace(toolbar, SendMessageA(toolbar, TB_COMMANDTOINDEX, number, 0));
  }
  if (what == "menubar-button") return ButtonPlace(MenuBar(frame), number);
  HWND control = VisibleControl(frame, number);
  if (!control) return kNotFound;
  if (what == "control") return PrintWindowRect(control);
  if (what == "text") {
    std::printf("%s\n", TextOf(control).c_str());
    return 0;
  }
  if (what == "checked") {
    std::printf("%d\n", SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    return 0;
  }
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: locate WHAT [ARGUMENT] (see the source)\n");
    return kUsage;
  }
  return Run(argv[1], argc == 3 ? argv[2] : nullptr);
}
