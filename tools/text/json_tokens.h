// The scalars of a JSON text: strings, numbers and the words true, false and
// null, read at the cursor. A scalar that the text at hand holds whole and
// plain, which is nearly every one of a document, is handed on where it
// stands, without a copy.
#pragma once

#include <string>
#include <string_view>

#include "tools/text/json_errors.h"
#include "tools/text/json_reader.h"
#include "tools/text/text_cursor.h"

namespace brx::text {

// An ASCII letter: what true, false and null are made of, and what starts a
// word that JSON does not have.
inline bool IsLetter(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

class JsonTokens {
 public:
  JsonTokens(TextCursor& text, JsonErrors& errors) : text_(text), errors_(errors) {}

  // Each reads what starts at the current place (a '"'; a '-' or a digit; a
  // letter) into `value`, valid until the cursor moves on or the next call.
  // False at a syntax error.
  bool String(std::string_view& value) { return TakePlainString(value) || AnyString(value); }
  bool Number(std::string_view& value) { return TakePlainInteger(value) || AnyNumber(value); }
  bool Word(JsonValue::Type& type, std::string_view& value);

 private:
  bool TakePlainString(std::string_view& value);
  // A whole number that the text at hand holds to its end, which is nearly
  // every number of a document. False, with nothing taken, for anything else.
  bool TakePlainInteger(std::string_view& value) {
    const char* const begin = text_.begin();
    const char* const end = text_.end();
    const char* p = begin + (*begin == '-');
    const char* const digits = p;
    while (p != end && IsDigit(*p)) ++p;
    const auto count = static_cast<std::size_t>(p - digits);
    if (p == end || count == 0 || (*digits == '0' && count > 1) || *p == '.' || *p == 'e' ||
        *p == 'E')
      return false;
    const auto taken = static_cast<std::size_t>(p - begin);
    value = std::string_view(begin, taken);
    text_.SkipInLine(taken, taken);
    return true;
  }
  static bool IsDigit(int c) { return c >= '0' && c <= '9'; }
  bool AnyString(std::string_view& value);
  bool AnyNumber(std::string_view& value);
  bool StringWithEscapes(std::string& out);
  bool Escape(std::string& out);
  bool UnicodeEscape(const TextPosition& escape, std::string& out);
  bool Hex4(std::uint32_t& unit);
  // Takes the bytes from the current one on for which `take` holds, none of
  // them a line break, appending them to `out`.
  template <typename Take>
  void TakeWhile(Take take, std::string& out);
  void TakeDigits(std::string& out);
  void TakeOne(std::string& out) {
    out += static_cast<char>(text_.Peek());
    text_.Skip();
  }

  TextCursor& text_;
  JsonErrors& errors_;
  std::string scratch_;  // a scalar that could not be taken where it stands
};

}  // namespace brx::text
