// Bytes as base64 text (RFC 4648, with padding, no line breaks), written as
// they come, so that a page can carry hundreds of megabytes of records
// without holding them twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

namespace brx::tool {

class Base64Writer {
 public:
  explicit Base64Writer(std::ostream& out) : out_(out) {}
  Base64Writer(const Base64Writer&) = delete;
  Base64Writer& operator=(const Base64Writer&) = delete;

  void Add(const std::uint8_t* data, std::size_t size);
  // Writes what is held back, padded; the writer can then start again.
  void Finish();

 private:
  void Flush();

  std::ostream& out_;
  std::uint8_t held_[3] = {};
  std::size_t held_count_ = 0;
  std::string buffer_;
};

// The length of the base64 text of `size` bytes.
constexpr std::size_t Base64Length(std::size_t size) {
  return (size + 2) / 3 * 4;
}

}  // namespace brx::tool
