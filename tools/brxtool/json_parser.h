// JSON text read strictly, keeping where each value stands, so that every
// mistake in it can be named by line and column. Syntax errors are said in
// the words of someone who edits the file by hand: a comma after the last
// element, a comment, a string or a bracket left open.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brx::tool {

// Lines and columns count from 1; a column counts characters, not bytes.
struct TextPosition {
  std::size_t line = 1;
  std::size_t column = 1;
};

inline bool operator<(const TextPosition& a, const TextPosition& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

// A mistake in a JSON text: where it is, the JSON path of the value it is in
// (empty for the top level), and what it is.
struct JsonProblem {
  TextPosition at;
  std::string path;
  std::string message;
};

struct JsonMember;

struct JsonNode {
  enum class Type { kNull, kBoolean, kNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  TextPosition at;
  std::string text;                 // a string's value, a number as written, or the word
  std::vector<JsonNode> elements;   // an array's
  std::vector<JsonMember> members;  // an object's, in the order written
};

struct JsonMember {
  std::string key;
  TextPosition at;  // of the key
  JsonNode value;
};

// The paths of a member and of an element: `Tiles`, `structures[3].Tiles`.
std::string MemberPath(const std::string& path, const std::string& key);
std::string ElementPath(const std::string& path, std::size_t index);

// Parses UTF-8 text. A key repeated in one object is added to `problems` and
// its first value kept, and parsing goes on; a syntax error ends parsing,
// is added last and makes the result false.
bool ParseJson(const std::string& text, JsonNode& root, std::vector<JsonProblem>& problems);

}  // namespace brx::tool
