// A JSON Patch (RFC 6902) read as it goes: each operation is handed on as
// soon as its object ends, with where it stands in the text, so that a patch
// of millions of operations is never held whole and every mistake and
// conflict can name its line.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/text/json_reader.h"

namespace brx::tool {

enum class PatchOp { kAdd, kRemove, kReplace, kMove, kCopy, kTest };

// A JSON value held as the reader handed it over, to be read once its
// operation's path says what it must be.
struct RecordedJson {
  struct Event {
    enum class Kind { kValue, kKey, kEndObject, kEndArray };
    Kind kind;
    text::JsonValue value;  // kKey: the key in `text`, where it is in `at`
    bool repeated;
  };
  std::vector<Event> events;

  // Hands the events to `handler` in their order.
  void Replay(text::JsonHandler& handler) const;
};

struct PatchOperation {
  PatchOp op = PatchOp::kTest;
  text::TextPosition at;  // of its opening brace
  text::JsonValue path;   // strings, with where they stand
  text::JsonValue from;   // move and copy only
  RecordedJson value;     // add, replace and test only
};

// What nearly every line of a patch that `diff --patch` writes holds: a test
// or a replace of one number, written as diff writes it,
//   {"op": "test", "path": "/structures/3/Armour", "value": 30}
// and read straight from the text, without the events of the JSON reader.
struct NumberOperation {
  PatchOp op = PatchOp::kTest;
  text::TextPosition at;  // of its opening brace
  std::string_view pointer;
  text::TextPosition pointer_at;
  std::string_view number;  // an integer as JSON writes it
  text::TextPosition number_at;

  // The operation as the JSON reader hands it on.
  PatchOperation Whole() const;
};

// Reads a patch from `text`, handing each well-formed operation to `each`.
// The mistakes found go into `problems`: a syntax error (which ends the
// reading), a top level that is no array, an element that is no object, an
// operation whose "op" is unknown (with the name it may mean), or that lacks
// a member it needs or has one of the wrong type; a member of another name is
// ignored, as RFC 6902 says, unless it looks like a misspelt one. At most
// `most_problems` are kept. False when there were any.
// Operations that are NumberOperations go to `each_number` instead, when it
// is given.
bool ReadPatch(text::TextDecoder& patch_text,
               const std::function<void(const PatchOperation&)>& each,
               const std::function<void(const NumberOperation&)>& each_number,
               std::vector<text::JsonProblem>& problems, std::size_t most_problems);

// The name of an operation as a patch writes it: "add", "test".
const char* PatchOpName(PatchOp op);

}  // namespace brx::tool
