// Bytes handed out a few at a time, as a pipe may hand them: the pieces a
// reader gets, and so where they end, are the test's to choose; and, if the
// test says so, a read that fails once `fails_at` bytes are handed out, as a
// file on a share that goes away.
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
  static constexpr const char* kError = "the device is gone";

  ChunkedSource(const std::string& bytes, std::size_t chunk,
                std::size_t fails_at = std::string::npos)
      : bytes_(bytes), chunk_(chunk), fails_at_(fails_at) {}
  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    if (at_ >= fails_at_) {
      error = kError;
      return false;
    }
    got = std::min({size, chunk_, bytes_.size() - at_, fails_at_ - at_});
    std::memcpy(data, bytes_.data() + at_, got);
    at_ += got;
    return true;
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t fails_at_;
  std::size_t at_ = 0;
};

}  // namespace brx::testing
