#include "app/main_frame.h"

#include <commctrl.h>

#include <utility>

#include "app/about_box.h"
#include "app/program_module.h"
#include "framework/dpi.h"
#include "framework/message_map.h"
#include "framework/private_messages.h"
#include "framework/toolbar.h"
#include "res/resource.h"

namespace brx {
namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kMenuBarStyle =
    kBarStyle | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_LIST;
constexpr DWORD kToolbarStyle =
    kBarStyle | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT;
constexpr DWORD kRebarStyle =
    kBarStyle | CCS_NODIVIDER | RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_AUTOSIZE;
constexpr DWORD kStatusBarStyle = kBarStyle | SBARS_SIZEGRIP;

constexpr framework::CUpdateUIBase::Entry kCommandStates[] = {
    {ID_VIEW_TOOLBAR, framework::CUpdateUIBase::kMenuPopupItem},
    {ID_VIEW_STATUS_BAR, framework::CUpdateUIBase::kMenuPopupItem},
    {framework::CUpdateUIBase::kEndOfTable, 0},
};

// The toolbar and menu images, one set per scale of the screen.
constexpr framework::ScaledResource kToolbarImages[] = {
    {100, IDR_MAINFRAME},
    {125, IDR_MAINFRAME_125},
    {150, IDR_MAINFRAME_150},
    {200, IDR_MAINFRAME_200},
};

bool IsAltF4(const MSG& message) {
  return message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 &&
         (HIWORD(message.lParam) & KF_ALTDOWN);
}

}  // namespace

CMainFrame::CMainFrame(std::string startupFileName, FileSystem& files)
    : CUpdateUIBase(kCommandStates), view_(files), startupFileName_(std::move(startupFileName)) {}

CMainFrame::~CMainFrame() {
  if (loop_) {
    loop_->RemovePreTranslator(this);
    loop_->RemoveIdleTask(this);
  }
}

framework::WindowClassInfo& CMainFrame::ClassInfo() {
  static framework::WindowClassInfo info = [] {
    framework::WindowClassInfo made;
    made.icon_id = IDR_MAINFRAME;
    made.background_colour = COLOR_WINDOW;
    return made;
  }();
  return info;
}

HWND CMainFrame::CreateMainWindow() {
  HINSTANCE instance = ProgramModule().instance();
  char title[256] = {};
  LoadStringA(instance, IDR_MAINFRAME, title, sizeof title);
  HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
  HWND window = Create(nullptr, nullptr, title, kFrameStyle, kFrameExStyle, menu);
  if (!window) {
    // A window that never existed did not take the menu with it.
    if (menu && IsMenu(menu)) DestroyMenu(menu);
    return nullptr;
  }
  accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
  return window;
}

bool CMainFrame::ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                      LRESULT& result) {
  using Map = framework::MessageMap<CMainFrame>;
  using Entry = Map::Entry;
  static const Map map{
      Entry::Message(WM_CREATE, &CMainFrame::OnCreate),
      Entry::Command(ID_APP_EXIT, &CMainFrame::OnFileExit),
      Entry::Command(ID_FILE_NEW, &CMainFrame::OnFileNew),
      Entry::Command(ID_FILE_SAVE_AS, &CMainFrame::OnFileSaveAs),
      Entry::Command(ID_FILE_OPEN, &CMainFrame::OnFileOpen),
      Entry::Command(ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolbar),
      Entry::Command(ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar),
      Entry::Command(ID_APP_ABOUT, &CMainFrame::OnAppAbout),
      Entry::Message(WM_INITMENUPOPUP, &CMainFrame::OnInitMenuPopup),
      Entry::Message(kReportStartupFailure, &CMainFrame::OnReportStartupFailure),
      Entry::Chain(&CMainFrame::ProcessFrameMessage),
  };
  return map.Dispatch(*this, window, message, wparam, lparam, result);
}

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  // No step's result stops the sequence: a missing bar is a null handle that
  // every later use skips.
  HWND frame = hwnd();
  // The menu moves from the window's own menu bar into the menu bar control,
  // which owns it from now on and draws New, Open and Save As with the
  // toolbar's images, in the size drawn for the screen's scale.
  const int images = framework::PickForDpi(kToolbarImages, framework::SystemDpi());
  menuBar_.Create(frame, kMenuBarStyle);
  menuBar_.AttachMenu(GetMenu(frame));
  menuBar_.LoadImages(images);
  SetMenu(frame, nullptr);

  toolbar_ = framework::CreateToolbarFromResource(frame, images, kToolbarStyle, IDW_TOOLBAR);
  toolbarHost_ = framework::CreateRebar(frame, kRebarStyle, IDW_TOOLBAR);
  framework::AddToolbarBand(toolbarHost_, menuBar_.hwnd(), false);
  toolbar_band_id_ = framework::AddToolbarBand(toolbarHost_, toolbar_, true);
  statusBar_ = framework::CreateStatusBar(frame, IDS_READY, kStatusBarStyle, IDW_STATUS_BAR);
  client_ = view_.Create(frame);

  AddToolbarElement(toolbar_);
  SetCommandCheck(ID_VIEW_TOOLBAR, kCheck, false);
  SetCommandCheck(ID_VIEW_STATUS_BAR, kCheck, false);

  loop_ = ProgramModule().FindLoop(GetCurrentThreadId());
  if (loop_) {
    loop_->AddPreTranslator(this);
    loop_->AddIdleTask(this);
  }

  // Loaded before the window is first shown, so the first paint shows the file.
  if (!startupFileName_.empty()) {
    std::string error;
    if (!view_.LoadDocument(startupFileName_.c_str(), error)) {
      startup_load_failure_ = error;
      // Posted, so the message comes once the loop runs: after the frame is shown.
      PostMessageA(frame, kReportStartupFailure, 0, 0);
    }
  }
  return 0;
}

bool CMainFrame::PreTranslate(MSG& message) {
  // Default processing turns Alt+F4 into a close, but Wine's tree control
  // keeps the key from it, so with the focus in the tree the frame would
  // never close: ask for the close here, for every window of the frame.
  if (IsAltF4(message) && (message.hwnd == hwnd() || IsChild(hwnd(), message.hwnd))) {
    PostMessageA(hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  if (accelerators_ && TranslateAcceleratorA(hwnd(), accelerators_, &message)) return true;
  return client_ && IsDialogMessageA(client_, &message);
}

bool CMainFrame::DoIdle() {
  ApplyToolbarStates();
  return false;
}

LRESULT CMainFrame::OnFileExit(WORD, WORD, HWND, bool&) {
  PostMessageA(hwnd(), WM_CLOSE, 0, 0);
  return 0;
}

LRESULT CMainFrame::OnFileNew(WORD, WORD, HWND, bool&) {
  view_.NewDocument();
  return 0;
}

LRESULT CMainFrame::OnViewToolbar(WORD, WORD, HWND, bool&) {
  toolbarShown_ = !toolbarShown_;
  const LRESULT band = SendMessageA(toolbarHost_, RB_IDTOINDEX, toolbar_band_id_, 0);
  SendMessageA(toolbarHost_, RB_SHOWBAND, band, toolbarShown_);
  SetCommandCheck(ID_VIEW_TOOLBAR, toolbarShown_ ? kCheck : kUncheck, false);
  LayoutChildren(true);
  return 0;
}

LRESULT CMainFrame::OnViewStatusBar(WORD, WORD, HWND, bool&) {
  // The window itself says whether it is shown.
  const bool shown = !IsWindowVisible(statusBar_);
  ShowWindow(statusBar_, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
  SetCommandCheck(ID_VIEW_STATUS_BAR, shown ? kCheck : kUncheck, false);
  LayoutChildren(true);
  return 0;
}

LRESULT CMainFrame::OnAppAbout(WORD, WORD, HWND, bool&) {
  CAboutBox box;
  box.Show(GetActiveWindow());
  return 0;
}

LRESULT CMainFrame::OnInitMenuPopup(UINT, WPARAM wparam, LPARAM, bool& handled) {
  ApplyMenuStates(reinterpret_cast<HMENU>(wparam));
  handled = false;
  return 0;
}

}  // namespace brx
