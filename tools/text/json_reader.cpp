#include "tools/text/json_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "tools/text/json_errors.h"
#include "tools/text/json_tokens.h"
#include "tools/text/quoting.h"

namespace brx::text {
namespace {

// Far deeper than any structure document goes; it keeps a hostile text from
// exhausting the stack.
constexpr std::size_t kMaxDepth = 100;

bool StartsNumber(int c) {
  return c == '-' || (c >= '0' && c <= '9');
}

bool StartsValue(int c) {
  return c == '{' || c == '[' || c == '"' || StartsNumber(c) || IsLetter(c);
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
      if (end - begin == key.size() &&
          std::memcmp(joined_.data() + begin, key.data(), key.size()) == 0)
        return false;
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

// The grammar: values, objects and arrays, handed on as they are read.
class Parser {
 public:
  Parser(TextCursor& text, JsonHandler& handler, std::vector<JsonProblem>& problems,
         std::size_t most_problems)
      : text_(text),
        handler_(handler),
        errors_(text, path_, problems, most_problems),
        tokens_(text, errors_),
        levels_(kMaxDepth + 1) {}

  bool ParseDocument() {
    if (!SkipSpace()) return false;
    if (text_.AtEnd()) return errors_.ErrorHere("the text holds no JSON");
    if (!ParseValue(0) || !SkipSpace()) return false;
    if (!text_.AtEnd())
      return errors_.ErrorHere("text after the end of the JSON document: " + errors_.Found());
    return true;
  }

 private:
  // What an object being read at one depth keeps; made for every depth at
  // the start, so that a key outlives the path's step that points to it.
  struct Level {
    KeySet keys;
    std::string key;
  };

  // Most calls find a token straight away, or after the one space that
  // follows a ':' or a row's ','.
  [[gnu::always_inline]] bool SkipSpace() {
    const auto token = [](char c) { return static_cast<unsigned char>(c) > ' ' && c != '/'; };
    const char* const p = text_.begin();
    if (text_.end() - p >= 2) {
      if (token(p[0])) return true;
      if (p[0] == ' ' && token(p[1])) {
        text_.SkipInLine(1, 1);
        return true;
      }
    }
    text_.SkipBlanks();
    return text_.begin() == text_.end() || *text_.begin() != '/' || NoComment();
  }

  // At a '/' after blanks: a comment is refused.
  bool NoComment() {
    if (text_.Peek(1) == '/' || text_.Peek(1) == '*')
      return errors_.ErrorHere("a comment; JSON has no comments");
    return true;
  }

  bool Skipped(char c) {
    if (text_.Peek() != c) return false;
    PassPunctuation();
    return true;
  }

  // Moves past the bracket, brace, colon or comma at hand: one character,
  // never a line break.
  void PassPunctuation() { text_.SkipInLine(1, 1); }

  void Deliver(JsonValue::Type type, const TextPosition& at, std::string_view text = {}) {
    handler_.Value({type, text, at}, path_);
  }

  bool ParseValue(std::size_t depth) {
    const TextPosition at = text_.Here();
    const int c = text_.Peek();
    if (c < 0) return errors_.ErrorHere("the text ends where a value should be");
    std::string_view text;
    if (c == '{' || c == '[') {
      if (depth == kMaxDepth)
        return errors_.ErrorHere("more than " + std::to_string(kMaxDepth) + " levels of nesting");
      Deliver(c == '{' ? JsonValue::Type::kObject : JsonValue::Type::kArray, at);
      return c == '{' ? ParseObject(depth) : ParseArray(depth);
    }
    if (c == '"') {
      if (!tokens_.String(text)) return false;
      Deliver(JsonValue::Type::kString, at, text);
      return true;
    }
    if (StartsNumber(c)) return ParseNumber(at);
    if (IsLetter(c)) {
      JsonValue::Type type;
      if (!tokens_.Word(type, text)) return false;
      Deliver(type, at, text);
      return true;
    }
    if (c == '\'') return errors_.ErrorHere("strings take double quotes (\"), not single quotes");
    return errors_.ErrorHere("expected a value, found " + errors_.Found());
  }

  // Numbers are most of a document's values: an array reads its own
  // straight, without a call for each. `at` is a copy: the cursor moves on.
  [[gnu::always_inline]] bool ParseNumber(const TextPosition at) {
    std::string_view text;
    if (!tokens_.Number(text)) return false;
    Deliver(JsonValue::Type::kNumber, at, text);
    return true;
  }

  bool ParseObject(std::size_t depth) {
    const TextPosition open = text_.Here();
    PassPunctuation();
    if (!SkipSpace()) return false;
    if (Skipped('}')) {
      handler_.EndObject(path_);
      return true;
    }
    Level& level = levels_[depth];
    level.keys.Clear();
    TextPosition comma;
    bool after_comma = false;
    for (;;) {
      if (text_.Peek() != '"') return NotAKey(open, after_comma ? &comma : nullptr);
      const TextPosition key_at = text_.Here();
      std::string_view key;
      if (!tokens_.String(key)) return false;
      level.key.assign(key);
      if (!SkipSpace()) return false;
      if (!Skipped(':')) {
        return errors_.ErrorHere("expected ':' after the key " + Quoted(level.key) + ", found " +
                                 errors_.Found());
      }
      const bool first = level.keys.Insert(level.key);
      handler_.Key(level.key, key_at, !first, path_);
      path_.PushKey(level.key);
      // Noted before the value is read, so that a syntax error in it does not
      // hide it.
      if (!first) errors_.Note(key_at, "the key appears more than once");
      if (!SkipSpace() || !ParseValue(depth + 1)) return false;
      path_.Pop();
      if (!SkipSpace()) return false;
      if (Skipped('}')) {
        handler_.EndObject(path_);
        return true;
      }
      if (text_.Peek() != ',') {
        if (text_.AtEnd() || text_.Peek() == ']') return errors_.NotClosed(open, '{');
        if (text_.Peek() == '"') return errors_.ErrorHere("a comma is missing before this key");
        return errors_.ErrorHere("expected ',' or '}' after the value, found " + errors_.Found());
      }
      comma = text_.Here();
      after_comma = true;
      PassPunctuation();
      if (!SkipSpace()) return false;
    }
  }

  // Where a key should be and is not; `comma` is the one before, if any.
  bool NotAKey(const TextPosition& open, const TextPosition* comma) {
    const int c = text_.Peek();
    if (c < 0 || c == ']') return errors_.NotClosed(open, '{');
    if (c == '}' && comma)
      return errors_.Error(*comma, "a comma after the last member; JSON allows none there");
    if (c == '\'') return errors_.ErrorHere("keys take double quotes (\"), not single quotes");
    if (IsLetter(c)) return errors_.ErrorHere("a key must be in double quotes");
    return errors_.ErrorHere("expected a key in double quotes, found " + errors_.Found());
  }

  // An element of the top-level array that the handler read by itself.
  bool Taken() {
    const auto size = static_cast<std::size_t>(text_.end() - text_.begin());
    const std::size_t taken = handler_.TakeElement({text_.begin(), size}, text_.Here());
    text_.SkipInLine(taken, taken);
    return taken != 0;
  }

  bool ParseArray(std::size_t depth) {
    const TextPosition open = text_.Here();
    PassPunctuation();
    if (!SkipSpace()) return false;
    if (Skipped(']')) {
      handler_.EndArray(path_);
      return true;
    }
    TextPosition comma;
    for (std::size_t index = 0;; ++index) {
      const int c = text_.Peek();
      if (c == ']')
        return errors_.Error(comma, "a comma after the last element; JSON allows none there");
      path_.PushIndex(index);
      if (c == ',') return errors_.ErrorHere("a value is missing before this comma");
      if (c < 0 || c == '}') {
        path_.Pop();
        return errors_.NotClosed(open, '[');
      }
      if (!(depth == 0 && Taken()) &&
          !(StartsNumber(c) ? ParseNumber(text_.Here()) : ParseValue(depth + 1)))
        return false;
      path_.Pop();
      if (!SkipSpace()) return false;
      if (Skipped(']')) {
        handler_.EndArray(path_);
        return true;
      }
      if (text_.Peek() != ',') {
        if (text_.AtEnd() || text_.Peek() == '}') return errors_.NotClosed(open, '[');
        if (StartsValue(text_.Peek()))
          return errors_.ErrorHere("a comma is missing before this element");
        return errors_.ErrorHere("expected ',' or ']' after the element, found " + errors_.Found());
      }
      comma = text_.Here();
      PassPunctuation();
      if (!SkipSpace()) return false;
    }
  }

  TextCursor& text_;
  JsonHandler& handler_;
  JsonPath path_;
  JsonErrors errors_;
  JsonTokens tokens_;
  std::vector<Level> levels_;  // one for each depth, made at the start: never moved
};

}  // namespace

std::string JsonTypeName(JsonValue::Type type) {
  switch (type) {
    case JsonValue::Type::kObject:
      return "an object";
    case JsonValue::Type::kArray:
      return "an array";
    case JsonValue::Type::kString:
      return "a string";
    case JsonValue::Type::kBoolean:
      return "a boolean";
    case JsonValue::Type::kNull:
      return "null";
    case JsonValue::Type::kNumber:
      break;
  }
  return "a number";
}

void SortByPlace(std::vector<JsonProblem>& problems) {
  std::stable_sort(problems.begin(), problems.end(),
                   [](const JsonProblem& a, const JsonProblem& b) { return a.at < b.at; });
}

void ToldProblems::Add(JsonProblem problem) {
  if (items_.size() >= limit_ && !(problem.at < latest_)) return;
  if (latest_ < problem.at) latest_ = problem.at;
  items_.push_back(std::move(problem));
}

std::vector<JsonProblem> ToldProblems::Take() {
  latest_ = TextPosition();
  return std::exchange(items_, {});
}

bool ReadJson(TextCursor& text, JsonHandler& handler, std::vector<JsonProblem>& problems,
              std::size_t most_problems) {
  return Parser(text, handler, problems, most_problems).ParseDocument();
}

}  // namespace brx::text
