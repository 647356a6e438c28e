// Untrusted bytes into the reader. Besides never crashing or leaking, every
// accepted input must come back out of the writer as the same bytes, except
// for what the writer computes (file header bytes 6-15 and each structure's
// position) and for bytes past the last announced record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/structure_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brx::StructureSet set;
  std::string reason;
  if (!brx::ParseStructureData(data, size, set, reason)) {
    if (reason.empty() || set.StructureCount() != 0) std::abort();
    return 0;
  }
  std::vector<std::uint8_t> written;
  if (!brx::SerializeStructureData(set, written, reason)) std::abort();
  if (written.size() > size) std::abort();

  std::vector<std::uint8_t> expected(data, data + written.size());
  for (std::size_t k = brx::FileHeader::kNumberOfStructuresCopy; k < brx::FileHeader::kSize; ++k)
    expected[k] = written[k];
  std::size_t offset = brx::FileHeader::kSize;
  for (std::size_t i = 0; i < set.StructureCount(); ++i) {
    expected[offset + brx::StructureHeader::kStructureNumber] =
        written[offset + brx::StructureHeader::kStructureNumber];
    expected[offset + brx::StructureHeader::kStructureNumber + 1] =
        written[offset + brx::StructureHeader::kStructureNumber + 1];
    offset += brx::StructureHeader::kSize + set.TileCount(i) * brx::TileRecord::kSize;
  }
  if (expected != written) std::abort();
  return 0;
}
