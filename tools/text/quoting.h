// How a message quotes a value taken from the input: never more than its
// first 40 characters, so that a 100,000-digit number or a megabyte of
// string cannot flood a terminal or a log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brx::text {

constexpr std::size_t kMostQuotedCharacters = 40;

// The text as it stands, cut after kMostQuotedCharacters characters
// (UTF-8 characters, not bytes) with "..." after the cut: for numbers and
// other text that needs no quotes.
std::string Excerpt(std::string_view text);

// The excerpt as a JSON string, in double quotes and escaped (the "..." of a
// cut text after the closing quote): no byte of it can upset a terminal or a
// reader of the message. Bytes that are not UTF-8 become U+FFFD.
std::string Quoted(std::string_view text);

}  // namespace brx::text
