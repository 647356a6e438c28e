#include "tools/documents/atlas/base64.h"

namespace brx::tool {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kBufferSize = 1 << 16;

void AppendGroup(const std::uint8_t* bytes, std::size_t count, std::string& out) {
  const std::uint32_t group = static_cast<std::uint32_t>(bytes[0]) << 16 |
                              (count > 1 ? bytes[1] : 0u) << 8 | (count > 2 ? bytes[2] : 0u);
  out += kAlphabet[group >> 18 & 63];
  out += kAlphabet[group >> 12 & 63];
  out += count > 1 ? kAlphabet[group >> 6 & 63] : '=';
  out += count > 2 ? kAlphabet[group & 63] : '=';
}

}  // namespace

void Base64Writer::Add(const std::uint8_t* data, std::size_t size) {
  std::size_t k = 0;
  while (held_count_ > 0 && held_count_ < 3 && k < size) held_[held_count_++] = data[k++];
  if (held_count_ == 3) {
    AppendGroup(held_, 3, buffer_);
    held_count_ = 0;
  }
  for (; k + 3 <= size; k += 3) {
    AppendGroup(data + k, 3, buffer_);
    if (buffer_.size() >= kBufferSize) Flush();
  }
  while (k < size) held_[held_count_++] = data[k++];
}

void Base64Writer::Finish() {
  if (held_count_ > 0) AppendGroup(held_, held_count_, buffer_);
  held_count_ = 0;
  Flush();
}

void Base64Writer::Flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

}  // namespace brx::tool
