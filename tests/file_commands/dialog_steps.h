// Script steps that answer the common file dialogs and the program's message
// boxes from inside their modal loops, the way a user would: fill the name,
// press OK or Cancel, read a message and close it.
#pragma once

#include <windows.h>

#include <string>

#include "tests/app/gui_driver.h"

namespace brx::testing {

// This thread's open file dialog (it has the file-name control); null if none.
HWND FindFileDialog();
// This thread's visible message box titled "BRXEDIT"; null if none.
HWND FindProgramMessageBox();
// The text of a message box (its static text that is not the icon).
std::string MessageText(HWND box);

// Waits for the file dialog, types `name` into its file-name control, presses OK.
Script::Step ChooseFileName(const std::string& name);
// Waits for the file dialog and presses Cancel.
Script::Step CancelFileDialog();
// Waits until no file dialog is open.
Script::Step FileDialogClosed();
// Waits for a message box titled "BRXEDIT", keeps its text and whether its
// owner was visible then, and closes it with OK.
Script::Step ReadAndCloseMessageBox(std::string& text, bool* owner_visible = nullptr);
// Waits for a button-answer box owned by the file dialog (the overwrite
// question) and answers it with `answer` (IDYES, IDNO); `text` gets its text.
Script::Step AnswerQuestion(int answer, std::string& text);

}  // namespace brx::testing
