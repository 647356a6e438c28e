#include "tools/text/json_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "tools/text/quoting.h"

namespace brx::text {
namespace {

// Far deeper than any structure document goes; it keeps a hostile text from
// exhausting the stack.
constexpr std::size_t kMaxDepth = 100;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool StartsValue(char c) {
  return c == '{' || c == '[' || c == '"' || c == '-' || IsDigit(c) || IsLetter(c);
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of a word is its lowest");

// The end of the run of spaces from `p` on, found eight bytes at a time.
const char* SpacesEnd(const char* p, const char* end) {
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t other = word ^ 0x2020202020202020ull;
    if (other) return p + __builtin_ctzll(other) / 8;
  }
  while (p != end && *p == ' ') ++p;
  return p;
}

// Where the run of bytes from `p` on that are ASCII and can stand in a string
// as they are (no quote, backslash or control character) ends, found eight
// bytes at a time; from there on the bytes are looked at one by one.
const char* PlainAsciiEnd(const char* p, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  // The top bit of each byte of `word` that is zero, and of no other (with a
  // borrow it may mark a byte after a zero one, which only stops the run
  // earlier than needed).
  const auto zeros = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighs; };
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    // Bytes below 0x20 have none of the bits 0x20 to 0x80 set.
    const std::uint64_t stops = zeros(word ^ (kOnes * '"')) | zeros(word ^ (kOnes * '\\')) |
                                zeros(word & (kOnes * 0xE0)) | (word & kHighs);
    if (stops) break;
  }
  return p;
}

std::string Where(const TextPosition& at) {
  return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column);
}

// The keys an object has had. Objects of a document have a dozen keys, so a
// list is searched; a hash set takes over for a hostile text's huge object.
// Cleared for the next object, it keeps its memory.
class KeySet {
 public:
  void Clear() {
    joined_.clear();
    ends_.clear();
    many_.clear();
  }

  // False when the key was there already.
  bool Insert(const std::string& key) {
    if (!many_.empty()) return many_.insert(key).second;
    std::size_t begin = 0;
    for (std::size_t end : ends_) {
      if (std::string_view(joined_).substr(begin, end - begin) == key) return false;
      begin = end;
    }
    joined_ += key;
    ends_.push_back(joined_.size());
    if (ends_.size() == kFew) {
      begin = 0;
      for (std::size_t end : ends_) {
        many_.insert(joined_.substr(begin, end - begin));
        begin = end;
      }
    }
    return true;
  }

 private:
  static constexpr std::size_t kFew = 32;
  std::string joined_;
  std::vector<std::size_t> ends_;
  std::unordered_set<std::string> many_;
};

class Parser {
 public:
  Parser(TextDecoder& text, JsonHandler& handler, std::vector<JsonProblem>& problems,
         std::size_t most_problems)
      : text_(text),
        handler_(handler),
        problems_(problems),
        most_problems_(most_problems),
        key_sets_(kMaxDepth + 1) {}

  bool ParseDocument() {
    if (!SkipSpace()) return false;
    if (AtEnd()) return Error(Here(), "the text holds no JSON");
    if (!ParseValue(0) || !SkipSpace()) return false;
    if (!AtEnd()) return Error(Here(), "text after the end of the JSON document: " + Found());
    return true;
  }

 private:
  // One step of the path to the value being read: a key or an index.
  struct Step {
    bool is_key;
    const std::string* key;  // the reading object's key, which outlives the step
    std::size_t index;
  };

  void PushKey(const std::string& key) {
    if (depth_ == path_.size()) path_.emplace_back();
    path_[depth_].is_key = true;
    path_[depth_++].key = &key;
  }

  void PushIndex(std::size_t index) {
    if (depth_ == path_.size()) path_.emplace_back();
    path_[depth_].is_key = false;
    path_[depth_++].index = index;
  }

  // Makes at least `count` bytes of text available from pos_ on.
  bool Fill(std::size_t count) {
    while (buffer_.size() - pos_ < count) {
      std::string_view piece;
      if (!text_.Next(piece)) return false;
      buffer_.erase(0, pos_);
      pos_ = 0;
      buffer_.append(piece);
    }
    return true;
  }

  bool AtEnd() { return pos_ == buffer_.size() && !Fill(1); }
  char Peek() { return pos_ < buffer_.size() || Fill(1) ? buffer_[pos_] : '\0'; }
  char PeekAt(std::size_t k) { return Fill(k + 1) ? buffer_[pos_ + k] : '\0'; }
  TextPosition Here() const { return here_; }

  void Next() {
    const auto byte = static_cast<unsigned char>(buffer_[pos_++]);
    if (byte == '\n') {
      ++here_.line;
      here_.column = 1;
    } else if ((byte & 0xC0) != 0x80) {
      // UTF-8 continuation bytes belong to the character before them.
      ++here_.column;
    }
  }

  void NextInto(std::string& out) {
    out += buffer_[pos_];
    Next();
  }

  std::string Path() const {
    std::string path;
    for (std::size_t k = 0; k < depth_; ++k) {
      const Step& step = path_[k];
      path = step.is_key ? MemberPath(path, *step.key) : ElementPath(path, step.index);
    }
    return path;
  }

  void Note(const TextPosition& at, std::string message) {
    if (problems_.size() < most_problems_) problems_.push_back({at, Path(), std::move(message)});
  }

  bool Error(const TextPosition& at, std::string message) {
    Note(at, std::move(message));
    return false;
  }

  // What stands at the current place, for a message.
  std::string Found() {
    if (AtEnd()) return "the end of the text";
    const auto byte = static_cast<unsigned char>(Peek());
    if (byte >= 0x20 && byte < 0x7F) return std::string("'") + Peek() + "'";
    if (byte < 0x80) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", byte);
      return std::string("the control character ") + code;
    }
    std::size_t end = 1;
    while ((static_cast<unsigned char>(PeekAt(end)) & 0xC0) == 0x80) ++end;
    return "'" + buffer_.substr(pos_, end) + "'";
  }

  // Most calls find a token straight away, or after the one space that
  // follows a ':' or a row's ','.
  bool SkipSpace() {
    const auto token = [](char c) { return static_cast<unsigned char>(c) > ' ' && c != '/'; };
    if (buffer_.size() - pos_ >= 2) {
      if (token(buffer_[pos_])) return true;
      if (buffer_[pos_] == ' ' && token(buffer_[pos_ + 1])) {
        ++pos_;
        ++here_.column;
        return true;
      }
    }
    return SkipSpaceAndComments();
  }

  bool SkipSpaceAndComments() {
    // Indentation is most of a document's bytes: it is skipped straight in
    // the buffer, and its characters counted once per line.
    for (;;) {
      const char* const end = buffer_.data() + buffer_.size();
      const char* p = buffer_.data() + pos_;
      const char* line_start = p;
      std::size_t column = here_.column;
      while (p != end) {
        const char c = *p;
        if (c == ' ') {
          p = SpacesEnd(p, end);
          continue;
        }
        if (c == '\n') {
          ++here_.line;
          column = 1;
          line_start = p + 1;
        } else if (c != '\t' && c != '\r') {
          break;
        }
        ++p;
      }
      here_.column = column + static_cast<std::size_t>(p - line_start);
      pos_ = static_cast<std::size_t>(p - buffer_.data());
      if (p != end || !Fill(1)) break;
    }
    if (Peek() == '/' && (PeekAt(1) == '/' || PeekAt(1) == '*'))
      return Error(Here(), "a comment; JSON has no comments");
    return true;
  }

  // Takes the characters from the current one on for which `take` holds,
  // appending them to `out`; none of them may be a line break.
  template <typename Take>
  void TakeWhile(Take take, std::string& out) {
    for (;;) {
      const char* const begin = buffer_.data() + pos_;
      const char* const end = buffer_.data() + buffer_.size();
      const char* p = begin;
      std::size_t continuations = 0;
      for (; p != end && take(*p); ++p) {
        // UTF-8 continuation bytes belong to the character before them.
        continuations += (static_cast<unsigned char>(*p) & 0xC0) == 0x80;
      }
      const auto taken = static_cast<std::size_t>(p - begin);
      out.append(begin, taken);
      pos_ += taken;
      here_.column += taken - continuations;
      if (p != end || !Fill(1)) return;
    }
  }

  void Deliver(JsonValue::Type type, const TextPosition& at) {
    value_.type = type;
    value_.at = at;
    handler_.Value(value_);
  }

  bool ParseValue(std::size_t depth) {
    const TextPosition at = Here();
    const char c = Peek();
    if (AtEnd()) return Error(Here(), "the text ends where a value should be");
    value_.text.clear();
    if (c == '{' || c == '[') {
      if (depth == kMaxDepth)
        return Error(Here(), "more than " + std::to_string(kMaxDepth) + " levels of nesting");
      Deliver(c == '{' ? JsonValue::Type::kObject : JsonValue::Type::kArray, at);
      return c == '{' ? ParseObject(depth) : ParseArray(depth);
    }
    if (c == '"') {
      if (!ParseString(value_.text)) return false;
      Deliver(JsonValue::Type::kString, at);
      return true;
    }
    if (c == '-' || IsDigit(c)) return ParseNumber(at);
    if (IsLetter(c)) return ParseWord(at);
    if (c == '\'') return Error(Here(), "strings take double quotes (\"), not single quotes");
    return Error(Here(), "expected a value, found " + Found());
  }

  bool NotClosed(const TextPosition& open, char opener) {
    const char closer = opener == '{' ? '}' : ']';
    const std::string what = opener == '{' ? "object" : "array";
    const std::string opened = "the " + what + " opened at " + Where(open);
    if (AtEnd())
      return Error(Here(), "the text ends inside " + opened + ": '" + closer + "' is missing");
    return Error(Here(), Found() + " does not close " + opened + ": '" + closer + "' is missing");
  }

  bool ParseObject(std::size_t depth) {
    const TextPosition open = Here();
    Next();
    if (!SkipSpace()) return false;
    if (Peek() == '}') {
      Next();
      handler_.EndObject();
      return true;
    }
    KeySet& keys = key_sets_[depth];
    keys.Clear();
    TextPosition comma;
    bool after_comma = false;
    std::string key;
    for (;;) {
      if (Peek() != '"') {
        if (AtEnd() || Peek() == ']') return NotClosed(open, '{');
        if (Peek() == '}' && after_comma)
          return Error(comma, "a comma after the last member; JSON allows none there");
        if (Peek() == '\'') return Error(Here(), "keys take double quotes (\"), not single quotes");
        if (IsLetter(Peek())) return Error(Here(), "a key must be in double quotes");
        return Error(Here(), "expected a key in double quotes, found " + Found());
      }
      const TextPosition key_at = Here();
      key.clear();
      if (!ParseString(key) || !SkipSpace()) return false;
      if (Peek() != ':')
        return Error(Here(), "expected ':' after the key " + Quoted(key) + ", found " + Found());
      Next();
      PushKey(key);
      // Noted before the value is read, so that a syntax error in it does not hide it.
      const bool first = keys.Insert(key);
      if (!first) Note(key_at, "the key appears more than once");
      handler_.Key(key, key_at, !first);
      if (!SkipSpace() || !ParseValue(depth + 1)) return false;
      --depth_;
      if (!SkipSpace()) return false;
      if (Peek() == '}') {
        Next();
        handler_.EndObject();
        return true;
      }
      if (Peek() != ',') {
        if (AtEnd() || Peek() == ']') return NotClosed(open, '{');
        if (Peek() == '"') return Error(Here(), "a comma is missing before this key");
        return Error(Here(), "expected ',' or '}' after the value, found " + Found());
      }
      comma = Here();
      after_comma = true;
      Next();
      if (!SkipSpace()) return false;
    }
  }

  bool ParseArray(std::size_t depth) {
    const TextPosition open = Here();
    Next();
    if (!SkipSpace()) return false;
    if (Peek() == ']') {
      Next();
      handler_.EndArray();
      return true;
    }
    TextPosition comma;
    for (std::size_t index = 0;; ++index) {
      if (Peek() == ']')
        return Error(comma, "a comma after the last element; JSON allows none there");
      if (Peek() == ',') {
        PushIndex(index);
        return Error(Here(), "a value is missing before this comma");
      }
      if (AtEnd() || Peek() == '}') return NotClosed(open, '[');
      PushIndex(index);
      if (!ParseValue(depth + 1)) return false;
      --depth_;
      if (!SkipSpace()) return false;
      if (Peek() == ']') {
        Next();
        handler_.EndArray();
        return true;
      }
      if (Peek() != ',') {
        if (AtEnd() || Peek() == '}') return NotClosed(open, '[');
        if (StartsValue(Peek())) return Error(Here(), "a comma is missing before this element");
        return Error(Here(), "expected ',' or ']' after the element, found " + Found());
      }
      comma = Here();
      Next();
      if (!SkipSpace()) return false;
    }
  }

  // Four hexadecimal digits after "\u".
  bool ParseHex4(std::uint32_t& unit) {
    unit = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = Peek();
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
      Next();
    }
    return true;
  }

  // After "\u": one UTF-16 unit, or a surrogate pair written as two escapes.
  bool ParseUnicodeEscape(const TextPosition& escape, std::string& out) {
    std::uint32_t unit = 0;
    if (!ParseHex4(unit)) return Error(escape, "\\u must be followed by four hexadecimal digits");
    if (unit >= 0xD800 && unit <= 0xDBFF && Peek() == '\\' && PeekAt(1) == 'u') {
      Next();
      Next();
      std::uint32_t low = 0;
      if (!ParseHex4(low)) return Error(escape, "\\u must be followed by four hexadecimal digits");
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        return true;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF)
      return Error(escape, "an escape of half a UTF-16 surrogate pair, without its other half");
    AppendUtf8(unit, out);
    return true;
  }

  // A string without escapes, line breaks or other control characters
  // that the buffer holds to its closing quote, which is nearly every string
  // of a document: taken in one piece. False, with nothing taken, for
  // anything else.
  bool TakePlainString(std::string& out) {
    const char* const begin = buffer_.data() + pos_ + 1;
    const char* const end = buffer_.data() + buffer_.size();
    std::size_t continuations = 0;
    const char* p = PlainAsciiEnd(begin, end);
    for (; p != end; ++p) {
      const auto byte = static_cast<unsigned char>(*p);
      if (byte == '"' || byte == '\\' || byte < 0x20) break;
      // UTF-8 continuation bytes belong to the character before them.
      continuations += (byte & 0xC0) == 0x80;
    }
    if (p == end || *p != '"') return false;
    const auto length = static_cast<std::size_t>(p - begin);
    out.append(begin, length);
    pos_ += length + 2;
    here_.column += length + 2 - continuations;
    return true;
  }

  bool ParseString(std::string& out) {
    if (TakePlainString(out)) return true;
    const TextPosition start = Here();
    Next();
    for (;;) {
      if (AtEnd() || Peek() == '\n')
        return Error(start, "the string that starts here is not closed: a '\"' is missing");
      const char c = Peek();
      if (c == '"') {
        Next();
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20)
        return Error(Here(), Found() + " inside a string; write it as an escape such as \\t");
      if (c != '\\') {
        TakeWhile(
            [](char k) { return k != '"' && k != '\\' && static_cast<unsigned char>(k) >= 0x20; },
            out);
        continue;
      }
      const TextPosition escape = Here();
      Next();
      const char e = Peek();
      if (AtEnd() || e == '\n') continue;
      Next();
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u':
          if (!ParseUnicodeEscape(escape, out)) return false;
          break;
        default:
          return Error(escape, std::string("unknown escape \\") + e +
                                   " in a string; JSON knows \\\" \\\\ \\/ \\b \\f \\n \\r \\t "
                                   "and \\uXXXX");
      }
    }
  }

  void TakeDigits(std::string& out) { TakeWhile(IsDigit, out); }

  // A whole number that the buffer holds to its end, which is nearly every
  // number of a document: taken in one piece. False, with nothing taken,
  // for anything else.
  bool TakePlainInteger() {
    const char* const begin = buffer_.data() + pos_;
    const char* const end = buffer_.data() + buffer_.size();
    const char* p = begin + (*begin == '-');
    const char* const digits = p;
    while (p != end && IsDigit(*p)) ++p;
    const auto count = static_cast<std::size_t>(p - digits);
    if (p == end || count == 0 || (*digits == '0' && count > 1) || *p == '.' || *p == 'e' ||
        *p == 'E')
      return false;
    const auto taken = static_cast<std::size_t>(p - begin);
    value_.text.append(begin, taken);
    pos_ += taken;
    here_.column += taken;
    return true;
  }

  bool ParseNumber(const TextPosition& at) {
    if (TakePlainInteger()) {
      Deliver(JsonValue::Type::kNumber, at);
      return true;
    }
    std::string& text = value_.text;
    if (Peek() == '-') NextInto(text);
    if (!IsDigit(Peek())) return Error(at, "a '-' without a number after it");
    if (Peek() == '0') {
      NextInto(text);
      if (IsDigit(Peek())) return Error(at, "a number with a leading zero");
    }
    TakeDigits(text);
    if (Peek() == '.') {
      NextInto(text);
      if (!IsDigit(Peek())) return Error(at, "a number without digits after its '.'");
      TakeDigits(text);
    }
    if (Peek() == 'e' || Peek() == 'E') {
      NextInto(text);
      if (Peek() == '+' || Peek() == '-') NextInto(text);
      if (!IsDigit(Peek())) return Error(at, "a number without digits in its exponent");
      TakeDigits(text);
    }
    Deliver(JsonValue::Type::kNumber, at);
    return true;
  }

  bool ParseWord(const TextPosition& at) {
    std::string& word = value_.text;
    TakeWhile(IsLetter, word);
    if (word == "true" || word == "false") {
      Deliver(JsonValue::Type::kBoolean, at);
    } else if (word == "null") {
      Deliver(JsonValue::Type::kNull, at);
    } else {
      return Error(at, "unknown word " + Quoted(word) +
                           "; JSON knows true, false and null, and text goes in double quotes");
    }
    return true;
  }

  TextDecoder& text_;
  JsonHandler& handler_;
  std::vector<JsonProblem>& problems_;
  const std::size_t most_problems_;
  std::string buffer_;
  std::size_t pos_ = 0;
  TextPosition here_;
  std::vector<Step> path_;
  std::size_t depth_ = 0;
  std::vector<KeySet> key_sets_;  // one for each depth, made at the start: never moved
  JsonValue value_;
};

}  // namespace

std::string MemberPath(const std::string& path, const std::string& key) {
  return path.empty() ? key : path + "." + key;
}

std::string ElementPath(const std::string& path, std::size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

bool ReadJson(TextDecoder& text, JsonHandler& handler, std::vector<JsonProblem>& problems,
              std::size_t most_problems) {
  return Parser(text, handler, problems, most_problems).ParseDocument();
}

}  // namespace brx::text
