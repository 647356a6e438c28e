#include "framework/file_dialog.h"

namespace brx::framework {

CFileDialog::CFileDialog(Kind kind, HWND owner, HINSTANCE instance, const char* filter,
                         const char* default_extension, DWORD flags)
    : kind_(kind) {
  // The record without the later extension fields (pvReserved, dwReserved,
  // FlagsEx): the size of that record for this platform, which is 76 bytes
  // only in a 32-bit program. A 64-bit program that passes 76 gets no dialog.
  record_.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record_.hwndOwner = owner;
  record_.hInstance = instance;
  record_.lpstrFilter = filter;
  record_.lpstrFile = file_name_;
  record_.nMaxFile = kFileNameSize;
  record_.lpstrFileTitle = file_title_;
  record_.nMaxFileTitle = kFileTitleSize;
  record_.Flags = flags;
  record_.lpstrDefExt = default_extension;
  record_.lpfnHook = &CFileDialog::Hook;
}

CFileDialog::Result CFileDialog::Run() {
  file_name_[0] = '\0';
  file_title_[0] = '\0';
  const BOOL ok = kind_ == Kind::kOpen ? GetOpenFileNameA(&record_) : GetSaveFileNameA(&record_);
  if (ok) return Result::kOk;
  // Zero is both the user's cancel and a failure; only the extended error
  // tells them apart.
  error_ = CommDlgExtendedError();
  return error_ == 0 ? Result::kCancelled : Result::kFailed;
}

UINT_PTR CALLBACK CFileDialog::Hook(HWND, UINT, WPARAM, LPARAM) {
  // Zero for every message: the dialog's own processing does everything.
  return 0;
}

}  // namespace brx::framework
