// What the file commands show the user: the file dialog for structure data
// files, and the messages for a file that could not be opened or saved and
// for a file dialog that failed. The commands themselves are the frame's
// OnFileOpen and OnFileSaveAs (app/file_commands.cpp).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "framework/file_dialog.h"

namespace brx {

// The file dialog filter: one pair, "BRX files(*.brx)" and "*.brx".
extern const char kBrxFileFilter[];
// OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_ENABLEHOOK, OFN_EXPLORER and
// OFN_ENABLESIZING; no OFN_FILEMUSTEXIST: Open passes on any name and the
// document reports what it cannot read.
constexpr DWORD kBrxFileDialogFlags = 0x00880026;

// Asks for a structure data file, modal to `owner`. Nothing on cancel; a
// dialog that failed is reported to the user before nothing is returned.
std::optional<std::string> AskForFileName(framework::CFileDialog::Kind kind, HWND owner);

// The message boxes, titled "BRXEDIT", naming the full path and the error.
void ReportOpenFailure(HWND owner, const std::string& path, const std::string& error);
void ReportSaveFailure(HWND owner, const std::string& path, const std::string& error);
void ReportDialogFailure(HWND owner, DWORD error);

// The path made absolute against the current folder (as typed, if it cannot be).
std::string FullPathOf(const std::string& path);

}  // namespace brx
