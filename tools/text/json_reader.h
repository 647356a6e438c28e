// JSON text read strictly and as it goes: each value is handed on as soon as
// it is read, so that no more of the text than one value is ever held, and
// every mistake in it can be named by line and column. Syntax errors are
// said in the words of someone who edits the file by hand: a comma after the
// last element, a comment, a string or a bracket left open.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/text/json_path.h"
#include "tools/text/text_cursor.h"
#include "tools/text/text_position.h"

namespace brx::text {

// A mistake in a JSON text: where it is, the JSON path of the value it is in
// (empty for the top level), and what it is.
struct JsonProblem {
  TextPosition at;
  std::string path;
  std::string message;
};

// A JSON value as read or to be written: a scalar with its text (a string's
// value, a number as written, or the word), or where an object or an array
// starts.
struct JsonValue {
  enum class Type { kNull, kBoolean, kNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  std::string text;
  TextPosition at;
};

// A value as the reader hands it on: its text stands where the reader read
// it and lasts only for the call, so that no value is copied on its way. A
// handler that keeps a value keeps a JsonValue of it (Kept).
struct JsonValueView {
  JsonValue::Type type = JsonValue::Type::kNull;
  std::string_view text;
  TextPosition at;
};

inline JsonValue Kept(const JsonValueView& value) {
  return {value.type, std::string(value.text), value.at};
}
// The same into a value kept before, whose memory it reuses.
inline void Keep(const JsonValueView& value, JsonValue& into) {
  into.type = value.type;
  into.text.assign(value.text);
  into.at = value.at;
}
inline JsonValueView ViewOf(const JsonValue& value) {
  return {value.type, value.text, value.at};
}

// Puts problems in the order of the text; those at one place stay in the
// order they were found.
void SortByPlace(std::vector<JsonProblem>& problems);

// The problems of a text as they are found, of which only the first `limit`
// in the text are ever told. Past that many, one later in the text than
// every one kept can never be told and is not kept, so that a hostile text
// full of mistakes is not held whole; one found later but named earlier (a
// key missing from an object is named at the object's start) still is.
class ToldProblems {
 public:
  explicit ToldProblems(std::size_t limit) : limit_(limit) {}

  void Add(JsonProblem problem);
  // In the order they were kept; SortByPlace puts them in the text's.
  std::vector<JsonProblem>& items() { return items_; }
  const std::vector<JsonProblem>& items() const { return items_; }
  // The problems kept, and a fresh start for another text.
  std::vector<JsonProblem> Take();

 private:
  std::size_t limit_;
  TextPosition latest_;  // of the problems kept, the one latest in the text
  std::vector<JsonProblem> items_;
};

// "a number", "an object", "null": a type as a message names it.
std::string JsonTypeName(JsonValue::Type type);

// Receives the text's values in order. A container's elements or members
// come between its value and its End call. `path` is where the reader is:
// the value's path in Value, the container's in Key and the End calls.
class JsonHandler {
 public:
  virtual ~JsonHandler() = default;
  virtual void Value(const JsonValueView& value, const JsonPath& path) = 0;
  // The key of the next value. `repeated`: the object had the key before;
  // the value that follows is not the key's (the first one is).
  virtual void Key(const std::string& key, const TextPosition& at, bool repeated,
                   const JsonPath& path) = 0;
  virtual void EndObject(const JsonPath& path) = 0;
  virtual void EndArray(const JsonPath& path) = 0;
  // Offered the bytes at hand (at least one) where an element of the
  // top-level array starts, for a handler that reads a common form of
  // element faster by itself: it returns how many bytes it took as that
  // element, which must be a whole JSON value of ASCII bytes on one line,
  // handled as its events would have been. 0 leaves the element to the reader.
  virtual std::size_t TakeElement(std::string_view /*ahead*/, const TextPosition& /*at*/) {
    return 0;
  }
};

// Reads the text from `text` into `handler`. A key repeated in one object is
// added to `problems` and reading goes on; a syntax error ends reading, is
// added last and makes the result false. At most `most_problems` are kept.
bool ReadJson(TextCursor& text, JsonHandler& handler, std::vector<JsonProblem>& problems,
              std::size_t most_problems);

}  // namespace brx::text
