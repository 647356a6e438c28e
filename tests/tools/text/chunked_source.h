// Bytes handed out a few at a time, as a pipe may hand them: the pieces a
// reader gets, and so where they end, are the test's to choose.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "tools/text/byte_source.h"

namespace brx::testing {

class ChunkedSource : public text::ByteSource {
 public:
  ChunkedSource(const std::string& bytes, std::size_t chunk) : bytes_(bytes), chunk_(chunk) {}
  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string&) override {
    got = std::min({size, chunk_, bytes_.size() - at_});
    std::memcpy(data, bytes_.data() + at_, got);
    at_ += got;
    return true;
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

}  // namespace brx::testing
