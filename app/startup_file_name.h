// The name of the file to open at start-up, from the command-line text that
// follows the program name.
#pragma once

#include <string>

namespace brx {

// The text as typed, except that one pair of double quotes around the whole
// of it is removed: Windows quotes a file opened from Explorer or from a
// shortcut. Text with any other quote is taken verbatim. Null gives "".
std::string StartupFileName(const char* commandLineText);

}  // namespace brx
