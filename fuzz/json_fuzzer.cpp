// Untrusted text into the JSON reader alone, from the bytes of the file (any
// encoding) on, against a second parser. Besides never crashing, leaking or
// hanging: a text the reader takes without a mistake is one nlohmann/json
// takes, with the same values; a text it refuses has a place for its
// mistake, and is one nlohmann/json refuses too, unless it nests deeper than
// the reader goes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "fuzz/decoded_text.h"
#include "tools/text/json_reader.h"
#include "tools/text/text_cursor.h"
#include "tools/text/text_encoding.h"

namespace {

using brx::text::JsonPath;
using brx::text::JsonValue;
using brx::text::JsonValueView;
using Json = nlohmann::json;

// The values the reader hands on, put together as a tree.
class TreeBuilder : public brx::text::JsonHandler {
 public:
  Json root;

  void Value(const JsonValueView& value, const JsonPath&) override {
    Json* placed = Place(Converted(value));
    if (value.type == JsonValue::Type::kObject || value.type == JsonValue::Type::kArray)
      open_.push_back(placed);
  }
  void Key(const std::string& key, const brx::text::TextPosition&, bool repeated,
           const JsonPath&) override {
    key_ = key;
    repeated_ = repeated;
  }
  void EndObject(const JsonPath&) override { open_.pop_back(); }
  void EndArray(const JsonPath&) override { open_.pop_back(); }

 private:
  static Json Converted(const JsonValueView& value) {
    switch (value.type) {
      case JsonValue::Type::kNull:
        return nullptr;
      case JsonValue::Type::kBoolean:
        return value.text == "true";
      case JsonValue::Type::kNumber:
        try {
          return Json::parse(value.text);
        } catch (const Json::out_of_range&) {
          return std::string(value.text);  // the whole text is then not compared
        }
      case JsonValue::Type::kString:
        return std::string(value.text);
      case JsonValue::Type::kArray:
        return Json::array();
      case JsonValue::Type::kObject:
        break;
    }
    return Json::object();
  }

  // Only the containers being read are held by address: a parent grows
  // only while its last child is closed.
  Json* Place(Json value) {
    if (open_.empty()) {
      root = std::move(value);
      return &root;
    }
    Json& parent = *open_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    // A repeated key's value is read but not the key's.
    if (repeated_) return &discarded_.emplace_back(std::move(value));
    return &(parent[key_] = std::move(value));
  }

  std::vector<Json*> open_;
  std::deque<Json> discarded_;
  std::string key_;
  bool repeated_ = false;
};

std::size_t Depth(const Json& json) {
  std::size_t deepest = 0;
  if (json.is_structured()) {
    for (const Json& element : json) deepest = std::max(deepest, Depth(element));
    return deepest + 1;
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brx::text::MemoryByteSource source(data, size);
  brx::text::TextDecoder decoder(source);
  if (!decoder.Start()) std::abort();
  brx::text::TextCursor cursor(decoder);
  TreeBuilder tree;
  std::vector<brx::text::JsonProblem> problems;
  const bool read = brx::text::ReadJson(cursor, tree, problems, 10);
  cursor.Drain();
  if (!decoder.problem().empty()) return 0;
  for (const brx::text::JsonProblem& problem : problems) {
    if (problem.message.empty() || problem.at.line == 0 || problem.at.column == 0) std::abort();
  }
  const std::string text = DecodedText(data, size);
  Json expected;
  // nlohmann/json takes a NUL byte for the end of the text, and skips a
  // byte-order mark, which the decoder has taken already: what follows is
  // a character that JSON refuses.
  bool parsed = text.find('\0') == std::string::npos && text.rfind("\xEF\xBB\xBF", 0) != 0;
  try {
    if (parsed) expected = Json::parse(text);
  } catch (const Json::out_of_range&) {
    // Numbers beyond a double's range are JSON, but not to nlohmann/json.
    return 0;
  } catch (const Json::parse_error&) {
    parsed = false;
  }
  if (!read) {
    if (problems.empty() || (parsed && Depth(expected) <= 100)) std::abort();
    return 0;
  }
  if (!parsed) std::abort();
  // A repeated key leaves nlohmann/json its last value, the reader its first.
  if (problems.empty() && tree.root != expected) std::abort();
  return 0;
}
