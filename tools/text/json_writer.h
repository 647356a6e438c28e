// JSON written as it goes, in the layout of brxtool's JSON: two-space
// indentation, one key or element per line, except that a row stays on one
// line (an array or object asked for as one, whatever it holds: numbers,
// strings, both, and containers within it), and an empty object or array is
// {} or []. A diff of two dumps thus shows each changed value on its own
// line. Nothing is held but the current line of containers and a buffer of
// output.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace brx::text {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  void BeginObject();
  void EndObject() { End('}'); }
  void BeginArray() { Begin('[', false); }
  // An array whose elements stay on one line: [1, 2, 3]; so does every
  // container within it.
  void BeginRow() { Begin('[', true); }
  // An object on one line: {"a": 1, "b": [2]}.
  void BeginObjectRow() { Begin('{', true); }
  void EndArray() { End(']'); }
  // The key of the next value, inside an object.
  void Key(std::string_view key);
  void Number(std::int64_t value);
  // A number as written, e.g. by the reader.
  void NumberText(std::string_view text);
  void String(std::string_view text);
  // Ends the text with a line break and hands the rest of it to the stream.
  void Finish();

 private:
  struct Level {
    bool row;
    std::size_t count;
  };

  void BeforeValue();
  void Begin(char open, bool row);
  void End(char close);
  // A line break (after a comma) and the indentation of `levels` levels.
  void NewLine(bool comma, std::size_t levels);
  void FlushIfFull();

  std::ostream& out_;
  std::string buffer_;
  std::vector<Level> levels_;
  bool after_key_ = false;
};

}  // namespace brx::text
