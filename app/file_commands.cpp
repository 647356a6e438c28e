#include "app/file_commands.h"

#include <cstdio>

#include "app/main_frame.h"
#include "app/program_module.h"

namespace brx {

const char kBrxFileFilter[] = "BRX files(*.brx)\0*.brx\0";

namespace {

constexpr char kTitle[] = "BRXEDIT";
constexpr char kDefaultExtension[] = "brx";

void ShowError(HWND owner, const std::string& text) {
  MessageBoxA(owner, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

}  // namespace

std::optional<std::string> AskForFileName(framework::CFileDialog::Kind kind, HWND owner) {
  framework::CFileDialog dialog(kind, owner, ProgramModule().instance(), kBrxFileFilter,
                                kDefaultExtension, kBrxFileDialogFlags);
  switch (dialog.Run()) {
    case framework::CFileDialog::Result::kOk:
      return std::string(dialog.path());
    case framework::CFileDialog::Result::kFailed:
      ReportDialogFailure(owner, dialog.error());
      return std::nullopt;
    case framework::CFileDialog::Result::kCancelled:
      break;
  }
  return std::nullopt;
}

void ReportOpenFailure(HWND owner, const std::string& path, const std::string& error) {
  ShowError(owner, "Could not open the file\n" + path + "\n\n" + error);
}

void ReportSaveFailure(HWND owner, const std::string& path, const std::string& error) {
  ShowError(owner, "Could not save the file\n" + path + "\n\n" + error);
}

void ReportDialogFailure(HWND owner, DWORD error) {
  if (error == FNERR_BUFFERTOOSMALL) {
    ShowError(owner, "The file name is too long: a full path can have at most " +
                         std::to_string(framework::CFileDialog::kFileNameSize - 1) +
                         " characters.");
    return;
  }
  char text[96];
  std::snprintf(text, sizeof text, "The file dialog failed (error 0x%04lX).",
                static_cast<unsigned long>(error));
  ShowError(owner, text);
}

std::string FullPathOf(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return path;
  return std::string(full, length);
}

LRESULT CMainFrame::OnFileOpen(WORD, WORD, HWND, bool&) {
  const std::optional<std::string> path =
      AskForFileName(framework::CFileDialog::Kind::kOpen, hwnd());
  if (!path) return 0;
  std::string error;
  // A failed load keeps the document, the tree and the open pane as they were.
  if (!view_.LoadDocument(path->c_str(), error)) ReportOpenFailure(hwnd(), *path, error);
  return 0;
}

LRESULT CMainFrame::OnFileSaveAs(WORD, WORD, HWND, bool&) {
  const std::optional<std::string> path =
      AskForFileName(framework::CFileDialog::Kind::kSave, hwnd());
  if (!path) return 0;
  std::string error;
  std::optional<FieldFailure> failed_field;
  if (!view_.SaveDocument(path->c_str(), error, &failed_field)) {
    ReportSaveFailure(hwnd(), *path, error);
    // When a field stopped the save, that field is where the user goes next.
    if (failed_field) FocusField(failed_field->pane, failed_field->control);
  }
  return 0;
}

LRESULT CMainFrame::OnReportStartupFailure(UINT, WPARAM, LPARAM, bool&) {
  if (startup_load_failure_)
    ReportOpenFailure(hwnd(), FullPathOf(startupFileName_), *startup_load_failure_);
  return 0;
}

}  // namespace brx
