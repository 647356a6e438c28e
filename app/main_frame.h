// The program's one top-level window: menu bar and toolbar in a rebar at the
// top, the status bar at the bottom and the editor view in between. It turns
// menu, toolbar and keyboard commands into actions, keeps the View menu's
// check marks in step with the bars, and ends the program when destroyed.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/message_loop.h"
#include "framework/frame_window.h"
#include "framework/menu_bar.h"
#include "framework/update_ui.h"
#include "view/editor_view.h"

namespace brx {

class CMainFrame : public framework::CFrameWindowBase,
                   public CPreTranslator,
                   public CIdleTask,
                   public framework::CUpdateUIBase {
 public:
  // `startupFileName`: the file to load while the window is created; empty for none.
  // The view loads and saves documents through `files`.
  CMainFrame(std::string startupFileName, FileSystem& files);
  ~CMainFrame() override;

  // Creates the window with the system's position and size, title, menu and
  // accelerators from resource 128; null on failure. The accelerators are
  // loaded only once the window exists.
  HWND CreateMainWindow();

  // Accelerators first (for the whole frame, whichever window has the
  // focus), then the view's dialog keys.
  bool PreTranslate(MSG& message) override;
  // Brings the registered toolbars up to date. Always false.
  bool DoIdle() override;

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override;

  CEditorView& view() { return view_; }
  framework::CMenuBar& menuBar() { return menuBar_; }
  HWND toolbar() const { return toolbar_; }

 protected:
  framework::WindowClassInfo& ClassInfo() override;

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnFileExit(WORD, WORD, HWND, bool&);
  LRESULT OnFileNew(WORD, WORD, HWND, bool&);
  // The file commands, in app/file_commands.cpp.
  LRESULT OnFileSaveAs(WORD, WORD, HWND, bool&);
  LRESULT OnFileOpen(WORD, WORD, HWND, bool&);
  LRESULT OnReportStartupFailure(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnViewToolbar(WORD, WORD, HWND, bool&);
  LRESULT OnViewStatusBar(WORD, WORD, HWND, bool&);
  LRESULT OnAppAbout(WORD, WORD, HWND, bool&);
  LRESULT OnInitMenuPopup(UINT, WPARAM wparam, LPARAM, bool& handled);

  HACCEL accelerators_ = nullptr;
  HWND toolbar_ = nullptr;
  UINT toolbar_band_id_ = 0;
  // Whether the toolbar's band is shown; the band itself is never asked.
  bool toolbarShown_ = true;
  CMessageLoop* loop_ = nullptr;
  CEditorView view_;
  framework::CMenuBar menuBar_;
  std::string startupFileName_;
  // Why the start-up file did not load, for the report once the frame is shown.
  std::optional<std::string> startup_load_failure_;
};

}  // namespace brx
