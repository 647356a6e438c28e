#include "tools/text/byte_source.h"

#include <algorithm>
#include <cstring>

namespace brx::text {

bool MemoryByteSource::Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string&) {
  got = std::min(size, left_);
  if (got) std::memcpy(data, data_, got);
  data_ += got;
  left_ -= got;
  return true;
}

}  // namespace brx::text
