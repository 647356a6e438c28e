#include "tools/text/quoting.h"

#include "tools/text/json_string.h"

namespace brx::text {
namespace {

// The length in bytes of the first kMostQuotedCharacters characters; a byte
// that does not start a character counts as one.
std::size_t QuotedLength(std::string_view text) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if ((byte & 0xC0) != 0x80 && characters++ == kMostQuotedCharacters) return at;
  }
  return text.size();
}

}  // namespace

std::string Excerpt(std::string_view text) {
  const std::size_t length = QuotedLength(text);
  return std::string(text.substr(0, length)) + (length < text.size() ? "..." : "");
}

std::string Quoted(std::string_view text) {
  const std::size_t length = QuotedLength(text);
  std::string out;
  AppendJsonString(text.substr(0, length), out);
  return length < text.size() ? out + "..." : out;
}

}  // namespace brx::text
