#include "model/records.h"

#include <algorithm>
#include <stdexcept>

namespace brx {

constexpr std::array<std::uint8_t, 4> FileHeader::kMagicBytes;

bool FileHeader::HasMagic() const {
  return std::equal(kMagicBytes.begin(), kMagicBytes.end(), bytes.begin() + kMagic);
}

void FileHeader::SetMagic() {
  std::copy(kMagicBytes.begin(), kMagicBytes.end(), bytes.begin() + kMagic);
}

std::size_t TileRecord::CheckedShapeIndex(std::size_t k) {
  if (k >= kShapeCells) throw std::out_of_range("shape byte index beyond the 5 x 5 grid");
  return k;
}

}  // namespace brx
