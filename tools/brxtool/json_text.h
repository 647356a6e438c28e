// JSON text in and out. Parsing reports syntax errors by line and column and
// refuses a key repeated in one object (the library would silently keep the
// last value). Formatting lays a document out so that a diff of two dumps
// shows each changed value on its own line.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace brx::tool {

// Keys keep the order they were written in.
using Json = nlohmann::ordered_json;

bool ParseJsonText(const std::string& text, Json& json, std::string& error);

// Two-space indentation, one key per line, one element per line, except that
// an array of numbers stays on one line. Ends with a line break.
std::string FormatJson(const Json& json);

}  // namespace brx::tool
