#include "app/startup_file_name.h"

namespace brx {

std::string StartupFileName(const char* commandLineText) {
  if (!commandLineText) return {};
  std::string text = commandLineText;
  const bool quoted_whole = text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
                            text.find('"', 1) == text.size() - 1;
  return quoted_whole ? text.substr(1, text.size() - 2) : text;
}

}  // namespace brx
