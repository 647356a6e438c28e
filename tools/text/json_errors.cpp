#include "tools/text/json_errors.h"

#include <cstdio>

namespace brx::text {
namespace {

std::string Where(const TextPosition& at) {
  return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column);
}

}  // namespace

void JsonErrors::Note(const TextPosition& at, std::string message) {
  if (problems_.size() < most_problems_)
    problems_.push_back({at, path_.Text(), std::move(message)});
}

std::string JsonErrors::Found() {
  const int byte = text_.Peek();
  if (byte < 0) return "the end of the text";
  if (byte >= 0x20 && byte < 0x7F) return std::string("'") + static_cast<char>(byte) + "'";
  if (byte < 0x80) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(byte));
    return std::string("the control character ") + code;
  }
  std::size_t length = 1;
  while (text_.Peek(length) >= 0 &&
         !TextCursor::StartsCharacter(static_cast<char>(text_.Peek(length))))
    ++length;
  return "'" + std::string(text_.begin(), length) + "'";
}

bool JsonErrors::NotClosed(const TextPosition& open, char opener) {
  const char closer = opener == '{' ? '}' : ']';
  const std::string what = opener == '{' ? "object" : "array";
  const std::string opened = "the " + what + " opened at " + Where(open);
  if (text_.AtEnd())
    return ErrorHere("the text ends inside " + opened + ": '" + closer + "' is missing");
  return ErrorHere(Found() + " does not close " + opened + ": '" + closer + "' is missing");
}

}  // namespace brx::text
