#include "model/structure_data.h"

#include <algorithm>
#include <string>
#include <utility>

namespace brx {
namespace {

void SetReason(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
}

// Walks the input record by record, and says where it ran out.
class RecordReader {
 public:
  RecordReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t offset() const { return offset_; }
  std::size_t left() const { return size_ - offset_; }

  template <typename Record>
  bool Read(Record& record) {
    if (left() < Record::kSize) return false;
    std::copy_n(data_ + offset_, Record::kSize, record.bytes.begin());
    offset_ += Record::kSize;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

std::string Truncated(const std::string& what, std::size_t needed_end, std::size_t size) {
  return "the file is truncated: " + what + " needs bytes up to offset " +
         std::to_string(needed_end) + ", but the data ends at offset " + std::to_string(size);
}

}  // namespace

bool ParseStructureData(const std::uint8_t* data, std::size_t size, StructureSet& set,
                        std::string* reason) {
  set.Clear();
  RecordReader reader(data, size);
  FileHeader file_header;
  if (!reader.Read(file_header)) {
    SetReason(reason, "the file is shorter than its 16-byte header (" + std::to_string(size) +
                          (size == 1 ? " byte)" : " bytes)"));
    return false;
  }
  if (!file_header.HasMagic()) {
    SetReason(reason, "not a structure data file: it does not start with \"BRXF\"");
    return false;
  }

  const std::size_t structures = file_header.NumberOfStructures();
  // Reserve only what the bytes present can hold, whatever the count claims.
  set.Reserve(std::min(structures, reader.left() / StructureHeader::kSize));
  StructureEntry entry;
  for (std::size_t i = 0; i < structures; ++i) {
    const std::size_t header_offset = reader.offset();
    if (!reader.Read(entry.header)) {
      set.Clear();
      SetReason(reason, Truncated("the header of structure " + std::to_string(i),
                                  header_offset + StructureHeader::kSize, size));
      return false;
    }
    const std::size_t tiles = entry.header.NumberOfTiles();
    if (reader.left() < tiles * TileRecord::kSize) {
      const std::size_t complete = reader.left() / TileRecord::kSize;
      set.Clear();
      SetReason(reason, Truncated("tile " + std::to_string(complete) + " of structure " +
                                      std::to_string(i),
                                  reader.offset() + (complete + 1) * TileRecord::kSize, size));
      return false;
    }
    entry.tiles.resize(tiles);
    for (TileRecord& tile : entry.tiles) reader.Read(tile);
    set.AppendStructure(std::move(entry));
    entry.tiles.clear();
  }
  return true;
}

FileHeader MakeFileHeader(std::size_t structures, std::size_t tiles) {
  FileHeader header;
  header.SetMagic();
  header.SetNumberOfStructures(static_cast<std::uint16_t>(structures));
  header.SetNumberOfStructuresCopy(static_cast<std::uint16_t>(structures));
  header.SetDataSize(
      static_cast<std::uint16_t>(structures * StructureHeader::kSize + tiles * TileRecord::kSize));
  header.SetFormatByte(FileHeader::kWrittenFormatByte);
  return header;
}

bool SerializeStructureData(const StructureSet& set, std::vector<std::uint8_t>& out,
                            std::string* reason) {
  out.clear();
  const std::size_t structures = set.StructureCount();
  if (structures > kMaxStructures) {
    SetReason(reason, "the document has " + std::to_string(structures) +
                          " structures; a file holds at most " + std::to_string(kMaxStructures));
    return false;
  }
  std::size_t tiles = 0;
  for (std::size_t i = 0; i < structures; ++i) {
    const std::size_t count = set.TileCount(i);
    if (count > kMaxTilesPerStructure) {
      SetReason(reason, "structure " + std::to_string(i) + " has " + std::to_string(count) +
                            " tiles; a file holds at most " +
                            std::to_string(kMaxTilesPerStructure) + " per structure");
      return false;
    }
    tiles += count;
  }

  out.reserve(FileHeader::kSize + structures * StructureHeader::kSize + tiles * TileRecord::kSize);
  const auto append = [&out](const auto& record) {
    out.insert(out.end(), record.bytes.begin(), record.bytes.end());
  };
  append(MakeFileHeader(structures, tiles));
  for (std::size_t i = 0; i < structures; ++i) {
    const StructureEntry& entry = set.Entry(i);
    StructureHeader header = entry.header;
    header.SetStructureNumber(static_cast<std::uint16_t>(i));
    header.SetNumberOfTiles(static_cast<std::uint8_t>(entry.tiles.size()));
    append(header);
    for (const TileRecord& tile : entry.tiles) append(tile);
  }
  return true;
}

}  // namespace brx
