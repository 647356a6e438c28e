#include "tools/text/json_tokens.h"

#include <cstdint>

#include "tools/text/plain_ascii.h"
#include "tools/text/quoting.h"
#include "tools/text/text_encoding.h"

namespace brx::text {
namespace {

bool InString(char c) {
  return c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20;
}

}  // namespace

template <typename Take>
void JsonTokens::TakeWhile(Take take, std::string& out) {
  for (;;) {
    const char* const begin = text_.begin();
    const char* const end = text_.end();
    const char* p = begin;
    std::size_t characters = 0;
    for (; p != end && take(*p); ++p) characters += TextCursor::StartsCharacter(*p);
    out.append(begin, p);
    text_.SkipInLine(static_cast<std::size_t>(p - begin), characters);
    if (p != end || !text_.Fill(1)) return;
  }
}

void JsonTokens::TakeDigits(std::string& out) {
  TakeWhile([](char c) { return IsDigit(c); }, out);
}

// A string without escapes or control characters that the text at hand
// holds to its closing quote, which is nearly every string of a document.
// False, with nothing taken, for anything else.
bool JsonTokens::TakePlainString(std::string_view& value) {
  const char* const begin = text_.begin() + 1;
  const char* const end = text_.end();
  std::size_t continuations = 0;
  const char* p = PlainAsciiEnd(begin, end);
  for (; p != end && InString(*p); ++p) continuations += !TextCursor::StartsCharacter(*p);
  if (p == end || *p != '"') return false;
  const auto length = static_cast<std::size_t>(p - begin);
  value = std::string_view(begin, length);
  text_.SkipInLine(length + 2, length + 2 - continuations);
  return true;
}

bool JsonTokens::AnyString(std::string_view& value) {
  scratch_.clear();
  if (!StringWithEscapes(scratch_)) return false;
  value = scratch_;
  return true;
}

bool JsonTokens::StringWithEscapes(std::string& out) {
  const TextPosition start = text_.Here();
  text_.Skip();
  for (;;) {
    const int c = text_.Peek();
    if (c < 0 || c == '\n')
      return errors_.Error(start, "the string that starts here is not closed: a '\"' is missing");
    if (c == '"') {
      text_.Skip();
      return true;
    }
    if (c < 0x20)
      return errors_.ErrorHere(errors_.Found() +
                               " inside a string; write it as an escape such as \\t");
    if (c != '\\') {
      TakeWhile(InString, out);
    } else if (!Escape(out)) {
      return false;
    }
  }
}

// At a '\\' in a string; a line break or the end after it is left for the
// string to name as not closed.
bool JsonTokens::Escape(std::string& out) {
  const TextPosition escape = text_.Here();
  text_.Skip();
  const int e = text_.Peek();
  if (e < 0 || e == '\n') return true;
  text_.Skip();
  switch (e) {
    case '"':
    case '\\':
    case '/':
      out += static_cast<char>(e);
      return true;
    case 'b':
      out += '\b';
      return true;
    case 'f':
      out += '\f';
      return true;
    case 'n':
      out += '\n';
      return true;
    case 'r':
      out += '\r';
      return true;
    case 't':
      out += '\t';
      return true;
    case 'u':
      return UnicodeEscape(escape, out);
    default:
      return errors_.Error(escape, std::string("unknown escape \\") + static_cast<char>(e) +
                                       " in a string; JSON knows \\\" \\\\ \\/ \\b \\f \\n \\r "
                                       "\\t and \\uXXXX");
  }
}

// Four hexadecimal digits after "\u".
bool JsonTokens::Hex4(std::uint32_t& unit) {
  unit = 0;
  for (int k = 0; k < 4; ++k) {
    const int c = text_.Peek();
    unsigned digit = 0;
    if (IsDigit(c)) {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    unit = unit << 4 | digit;
    text_.Skip();
  }
  return true;
}

// After "\u": one UTF-16 unit, or a surrogate pair written as two escapes.
bool JsonTokens::UnicodeEscape(const TextPosition& escape, std::string& out) {
  std::uint32_t unit = 0;
  if (!Hex4(unit)) return errors_.Error(escape, "\\u must be followed by four hexadecimal digits");
  if (unit >= 0xD800 && unit <= 0xDBFF && text_.Peek() == '\\' && text_.Peek(1) == 'u') {
    text_.Skip();
    text_.Skip();
    std::uint32_t low = 0;
    if (!Hex4(low)) return errors_.Error(escape, "\\u must be followed by four hexadecimal digits");
    if (low >= 0xDC00 && low <= 0xDFFF) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
      return true;
    }
  }
  if (unit >= 0xD800 && unit <= 0xDFFF)
    return errors_.Error(escape,
                         "an escape of half a UTF-16 surrogate pair, without its other half");
  AppendUtf8(unit, out);
  return true;
}

bool JsonTokens::AnyNumber(std::string_view& value) {
  const TextPosition at = text_.Here();
  std::string& text = scratch_;
  text.clear();
  if (text_.Peek() == '-') TakeOne(text);
  if (!IsDigit(text_.Peek())) return errors_.Error(at, "a '-' without a number after it");
  if (text_.Peek() == '0') {
    TakeOne(text);
    if (IsDigit(text_.Peek())) return errors_.Error(at, "a number with a leading zero");
  }
  TakeDigits(text);
  if (text_.Peek() == '.') {
    TakeOne(text);
    if (!IsDigit(text_.Peek())) return errors_.Error(at, "a number without digits after its '.'");
    TakeDigits(text);
  }
  if (text_.Peek() == 'e' || text_.Peek() == 'E') {
    TakeOne(text);
    if (text_.Peek() == '+' || text_.Peek() == '-') TakeOne(text);
    if (!IsDigit(text_.Peek())) return errors_.Error(at, "a number without digits in its exponent");
    TakeDigits(text);
  }
  value = text;
  return true;
}

bool JsonTokens::Word(JsonValue::Type& type, std::string_view& value) {
  const TextPosition at = text_.Here();
  scratch_.clear();
  TakeWhile([](char c) { return IsLetter(c); }, scratch_);
  value = scratch_;
  if (value == "true" || value == "false") {
    type = JsonValue::Type::kBoolean;
  } else if (value == "null") {
    type = JsonValue::Type::kNull;
  } else {
    return errors_.Error(at, "unknown word " + Quoted(value) +
                                 "; JSON knows true, false and null, and text goes in double "
                                 "quotes");
  }
  return true;
}

}  // namespace brx::text
