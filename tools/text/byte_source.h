// Where text comes from: a file, standard input or memory, read front to
// back a piece at a time. The document library hands files in through it;
// the text library itself opens nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brx::text {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes and reports how many were read: fewer than asked
  // is not the end in itself; 0 is the end. On failure `error` says why.
  virtual bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) = 0;
};

// Bytes already in memory.
class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), left_(size) {}
  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override;

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

}  // namespace brx::text
