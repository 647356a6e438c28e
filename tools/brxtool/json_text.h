// JSON text out: the layout of brxtool's JSON, so that a diff of two dumps
// shows each changed value on its own line.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace brx::tool {

// Keys keep the order they were written in.
using Json = nlohmann::ordered_json;

// Two-space indentation, one key per line, one element per line, except that
// an array of numbers stays on one line. Ends with a line break.
std::string FormatJson(const Json& json);

// A text as a JSON string, in double quotes and escaped, for messages that
// name what a user wrote: no byte of it can upset a terminal or a reader of
// the message. Bytes that are not UTF-8 become U+FFFD.
std::string Quoted(std::string_view text);

}  // namespace brx::tool
