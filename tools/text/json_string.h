// A JSON string as the JSON writer and the quoting of messages both write it.
#pragma once

#include <string>
#include <string_view>

namespace brx::text {

// Appends `text` as a JSON string: in double quotes, with '"', '\' and
// control characters escaped; bytes that are not UTF-8 become U+FFFD.
void AppendJsonString(std::string_view text, std::string& out);

}  // namespace brx::text
