// The system's common file dialog (open or save), run modally with a record
// built once by the object. The object's hook handles no message, so the
// dialog behaves as the system's default explorer-style dialog.
#pragma once

#include <windows.h>
// commdlg.h builds on the types of windows.h.
#include <commdlg.h>

#include <string>

namespace brx::framework {

class CFileDialog {
 public:
  enum class Kind { kOpen, kSave };
  // kFailed: the dialog could not run or could not return the name (error()
  // says why); never to be taken for a cancel.
  enum class Result { kOk, kCancelled, kFailed };

  // `filter`: pairs of a description and a pattern, each ending with a zero
  // byte, and a closing zero byte. `default_extension` without the dot.
  CFileDialog(Kind kind, HWND owner, HINSTANCE instance, const char* filter,
              const char* default_extension, DWORD flags);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  Result Run();

  // The full path chosen, after kOk.
  const char* path() const { return file_name_; }
  // CommDlgExtendedError() after kFailed, such as FNERR_BUFFERTOOSMALL.
  DWORD error() const { return error_; }
  const OPENFILENAMEA& record() const { return record_; }

  static constexpr DWORD kFileNameSize = 260;
  static constexpr DWORD kFileTitleSize = 256;

 private:
  static UINT_PTR CALLBACK Hook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

  Kind kind_;
  char file_name_[kFileNameSize] = {};
  char file_title_[kFileTitleSize] = {};
  OPENFILENAMEA record_{};
  DWORD error_ = 0;
};

}  // namespace brx::framework
