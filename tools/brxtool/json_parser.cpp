#include "tools/brxtool/json_parser.h"

#include <cstdint>
#include <cstdio>
#include <set>
#include <utility>

#include "tools/brxtool/json_text.h"
#include "tools/brxtool/text_encoding.h"

namespace brx::tool {
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

std::string Where(const TextPosition& at) {
  return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column);
}

class Parser {
 public:
  Parser(const std::string& text, std::vector<JsonProblem>& problems)
      : text_(text), problems_(problems) {}

  bool ParseDocument(JsonNode& root) {
    if (!SkipSpace("")) return false;
    if (AtEnd()) return Error(Here(), "", "the text holds no JSON");
    if (!ParseValue(root, "", 0) || !SkipSpace("")) return false;
    if (!AtEnd()) return Error(Here(), "", "text after the end of the JSON document: " + Found());
    return true;
  }

 private:
  bool AtEnd() const { return pos_ == text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  TextPosition Here() const { return here_; }

  void Next() {
    const auto byte = static_cast<unsigned char>(text_[pos_++]);
    if (byte == '\n') {
      ++here_.line;
      here_.column = 1;
    } else if ((byte & 0xC0) != 0x80) {
      // UTF-8 continuation bytes belong to the character before them.
      ++here_.column;
    }
  }

  bool Error(const TextPosition& at, const std::string& path, std::string message) {
    problems_.push_back({at, path, std::move(message)});
    return false;
  }

  // What stands at the current place, for a message.
  std::string Found() const {
    if (AtEnd()) return "the end of the text";
    const auto byte = static_cast<unsigned char>(Peek());
    if (byte >= 0x20 && byte < 0x7F) return std::string("'") + Peek() + "'";
    if (byte < 0x80) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", byte);
      return std::string("the control character ") + code;
    }
    std::size_t end = pos_ + 1;
    while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) ++end;
    return "'" + text_.substr(pos_, end - pos_) + "'";
  }

  bool SkipSpace(const std::string& path) {
    while (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r') Next();
    if (Peek() == '/' && pos_ + 1 < text_.size() &&
        (text_[pos_ + 1] == '/' || text_[pos_ + 1] == '*'))
      return Error(Here(), path, "a comment; JSON has no comments");
    return true;
  }

  bool ParseValue(JsonNode& node, const std::string& path, std::size_t depth) {
    node.at = Here();
    const char c = Peek();
    if (AtEnd()) return Error(Here(), path, "the text ends where a value should be");
    if (c == '{' || c == '[') {
      if (depth == kMaxDepth)
        return Error(Here(), path, "more than " + std::to_string(kMaxDepth) + " levels of nesting");
      return c == '{' ? ParseObject(node, path, depth) : ParseArray(node, path, depth);
    }
    if (c == '"') {
      node.type = JsonNode::Type::kString;
      return ParseString(node.text, path);
    }
    if (c == '-' || IsDigit(c)) return ParseNumber(node, path);
    if (IsLetter(c)) return ParseWord(node, path);
    if (c == '\'') return Error(Here(), path, "strings take double quotes (\"), not single quotes");
    return Error(Here(), path, "expected a value, found " + Found());
  }

  bool NotClosed(const TextPosition& open, const std::string& path, char opener) {
    const char closer = opener == '{' ? '}' : ']';
    const std::string what = opener == '{' ? "object" : "array";
    const std::string opened = "the " + what + " opened at " + Where(open);
    if (AtEnd()) {
      return Error(Here(), path,
                   "the text ends inside " + opened + ": '" + closer + "' is missing");
    }
    return Error(Here(), path,
                 Found() + " does not close " + opened + ": '" + closer + "' is missing");
  }

  bool ParseObject(JsonNode& node, const std::string& path, std::size_t depth) {
    node.type = JsonNode::Type::kObject;
    const TextPosition open = Here();
    Next();
    if (!SkipSpace(path)) return false;
    if (Peek() == '}') {
      Next();
      return true;
    }
    std::set<std::string> keys;
    TextPosition comma;
    bool after_comma = false;
    for (;;) {
      if (Peek() != '"') {
        if (AtEnd() || Peek() == ']') return NotClosed(open, path, '{');
        if (Peek() == '}' && after_comma)
          return Error(comma, path, "a comma after the last member; JSON allows none there");
        if (Peek() == '\'')
          return Error(Here(), path, "keys take double quotes (\"), not single quotes");
        if (IsLetter(Peek())) return Error(Here(), path, "a key must be in double quotes");
        return Error(Here(), path, "expected a key in double quotes, found " + Found());
      }
      JsonMember member;
      member.at = Here();
      if (!ParseString(member.key, path) || !SkipSpace(path)) return false;
      const std::string member_path = MemberPath(path, member.key);
      if (Peek() != ':') {
        return Error(Here(), path,
                     "expected ':' after the key " + Quoted(member.key) + ", found " + Found());
      }
      Next();
      // Noted before the value is read, so that a syntax error in it does not hide it.
      const bool first = keys.insert(member.key).second;
      if (!first) problems_.push_back({member.at, member_path, "the key appears more than once"});
      if (!SkipSpace(member_path) || !ParseValue(member.value, member_path, depth + 1) ||
          !SkipSpace(path))
        return false;
      if (first) node.members.push_back(std::move(member));
      if (Peek() == '}') {
        Next();
        return true;
      }
      if (Peek() != ',') {
        if (AtEnd() || Peek() == ']') return NotClosed(open, path, '{');
        if (Peek() == '"') return Error(Here(), path, "a comma is missing before this key");
        return Error(Here(), path, "expected ',' or '}' after the value, found " + Found());
      }
      comma = Here();
      after_comma = true;
      Next();
      if (!SkipSpace(path)) return false;
    }
  }

  bool ParseArray(JsonNode& node, const std::string& path, std::size_t depth) {
    node.type = JsonNode::Type::kArray;
    const TextPosition open = Here();
    Next();
    if (!SkipSpace(path)) return false;
    if (Peek() == ']') {
      Next();
      return true;
    }
    TextPosition comma;
    for (;;) {
      const std::string element_path = ElementPath(path, node.elements.size());
      if (Peek() == ']')
        return Error(comma, path, "a comma after the last element; JSON allows none there");
      if (Peek() == ',') return Error(Here(), element_path, "a value is missing before this comma");
      if (AtEnd() || Peek() == '}') return NotClosed(open, path, '[');
      node.elements.emplace_back();
      if (!ParseValue(node.elements.back(), element_path, depth + 1) || !SkipSpace(path))
        return false;
      if (Peek() == ']') {
        Next();
        return true;
      }
      if (Peek() != ',') {
        if (AtEnd() || Peek() == '}') return NotClosed(open, path, '[');
        if (StartsValue(Peek()))
          return Error(Here(), path, "a comma is missing before this element");
        return Error(Here(), path, "expected ',' or ']' after the element, found " + Found());
      }
      comma = Here();
      Next();
      if (!SkipSpace(path)) return false;
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
  bool ParseUnicodeEscape(const TextPosition& escape, const std::string& path, std::string& out) {
    std::uint32_t unit = 0;
    if (!ParseHex4(unit))
      return Error(escape, path, "\\u must be followed by four hexadecimal digits");
    if (unit >= 0xD800 && unit <= 0xDBFF && Peek() == '\\' && pos_ + 1 < text_.size() &&
        text_[pos_ + 1] == 'u') {
      Next();
      Next();
      std::uint32_t low = 0;
      if (!ParseHex4(low))
        return Error(escape, path, "\\u must be followed by four hexadecimal digits");
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        return true;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF)
      return Error(escape, path,
                   "an escape of half a UTF-16 surrogate pair, without its other half");
    AppendUtf8(unit, out);
    return true;
  }

  bool ParseString(std::string& out, const std::string& path) {
    const TextPosition start = Here();
    Next();
    for (;;) {
      if (AtEnd() || Peek() == '\n')
        return Error(start, path, "the string that starts here is not closed: a '\"' is missing");
      const char c = Peek();
      if (c == '"') {
        Next();
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) {
        return Error(Here(), path, Found() + " inside a string; write it as an escape such as \\t");
      }
      if (c != '\\') {
        out += c;
        Next();
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
          if (!ParseUnicodeEscape(escape, path, out)) return false;
          break;
        default:
          return Error(
              escape, path,
              std::string("unknown escape \\") + e +
                  " in a string; JSON knows \\\" \\\\ \\/ \\b \\f \\n \\r \\t and \\uXXXX");
      }
    }
  }

  void SkipDigits() {
    while (IsDigit(Peek())) Next();
  }

  bool ParseNumber(JsonNode& node, const std::string& path) {
    node.type = JsonNode::Type::kNumber;
    const std::size_t start = pos_;
    if (Peek() == '-') Next();
    if (!IsDigit(Peek())) return Error(node.at, path, "a '-' without a number after it");
    if (Peek() == '0') {
      Next();
      if (IsDigit(Peek())) return Error(node.at, path, "a number with a leading zero");
    }
    SkipDigits();
    if (Peek() == '.') {
      Next();
      if (!IsDigit(Peek())) return Error(node.at, path, "a number without digits after its '.'");
      SkipDigits();
    }
    if (Peek() == 'e' || Peek() == 'E') {
      Next();
      if (Peek() == '+' || Peek() == '-') Next();
      if (!IsDigit(Peek())) return Error(node.at, path, "a number without digits in its exponent");
      SkipDigits();
    }
    node.text = text_.substr(start, pos_ - start);
    return true;
  }

  bool ParseWord(JsonNode& node, const std::string& path) {
    const std::size_t start = pos_;
    while (IsLetter(Peek())) Next();
    node.text = text_.substr(start, pos_ - start);
    if (node.text == "true" || node.text == "false") {
      node.type = JsonNode::Type::kBoolean;
    } else if (node.text != "null") {
      return Error(node.at, path,
                   "unknown word \"" + node.text +
                       "\"; JSON knows true, false and null, and text goes in double quotes");
    }
    return true;
  }

  const std::string& text_;
  std::vector<JsonProblem>& problems_;
  std::size_t pos_ = 0;
  TextPosition here_;
};

}  // namespace

std::string MemberPath(const std::string& path, const std::string& key) {
  return path.empty() ? key : path + "." + key;
}

std::string ElementPath(const std::string& path, std::size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

bool ParseJson(const std::string& text, JsonNode& root, std::vector<JsonProblem>& problems) {
  root = JsonNode();
  return Parser(text, problems).ParseDocument(root);
}

}  // namespace brx::tool
