#include "model/structure_data.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace brx {
namespace {

// Hands out the input record by record through a buffer, so that a file is
// read in large blocks whatever the size of its records.
class RecordReader {
 public:
  // The buffer is left uninitialised: only bytes read into it are ever used.
  explicit RecordReader(InputFile& source)
      : source_(source), buffer_(new std::uint8_t[kBufferSize]) {}

  // Makes `size` bytes available to Take; false at the end of the data or on
  // a read error (then `error` is set).
  bool Ensure(std::size_t size, std::string& error) {
    while (end_ - begin_ < size) {
      if (begin_ + size > kBufferSize) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
      }
      std::size_t got = 0;
      if (!source_.Read(buffer_.get() + end_, kBufferSize - end_, got, error)) return false;
      if (got == 0) return false;
      end_ += got;
    }
    return true;
  }

  const std::uint8_t* Take(std::size_t size) {
    const std::uint8_t* taken = buffer_.get() + begin_;
    begin_ += size;
    consumed_ += size;
    return taken;
  }

  // Where the next record starts, and where the data ended once Ensure failed.
  std::size_t offset() const { return consumed_; }
  std::size_t end_of_data() const { return consumed_ + (end_ - begin_); }

 private:
  // Larger than the largest run of records taken at once (255 tiles).
  static constexpr std::size_t kBufferSize = 1 << 16;
  static_assert(kBufferSize >= kMaxTilesPerStructure * TileRecord::kSize);

  InputFile& source_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::size_t consumed_ = 0;
};

template <typename Record>
void CopyRecord(const std::uint8_t* bytes, Record& record) {
  std::copy_n(bytes, Record::kSize, record.bytes.begin());
}

std::string Truncated(const std::string& what, std::size_t needed_end, std::size_t size) {
  return "the file is truncated: " + what + " needs bytes up to offset " +
         std::to_string(needed_end) + ", but the data ends at offset " + std::to_string(size);
}

// Gives the reason a record could not be had: a read error if there was one,
// else the end of the data.
bool Fail(std::string& error, const std::string& read_error, std::string end_of_data) {
  error = read_error.empty() ? std::move(end_of_data) : "cannot read the file: " + read_error;
  return false;
}

// Clears `set` and parses into it; on failure `set` keeps what was read
// before the damage.
bool Parse(InputFile& source, StructureSet& set, std::string& error) {
  static_assert(sizeof(TileRecord) == TileRecord::kSize && std::is_trivially_copyable_v<TileRecord>,
                "tiles are copied from the file as whole runs of records");
  set.Clear();
  RecordReader reader(source);
  std::string read_error;
  if (!reader.Ensure(FileHeader::kSize, read_error)) {
    const std::size_t size = reader.end_of_data();
    return Fail(error, read_error,
                "the file is shorter than its 16-byte header (" + std::to_string(size) +
                    (size == 1 ? " byte)" : " bytes)"));
  }
  FileHeader file_header;
  CopyRecord(reader.Take(FileHeader::kSize), file_header);
  if (!file_header.HasMagic()) {
    error = "not a structure data file: it does not start with \"BRXF\"";
    return false;
  }

  const std::size_t structures = file_header.NumberOfStructures();
  for (std::size_t i = 0; i < structures; ++i) {
    StructureEntry entry;
    if (!reader.Ensure(StructureHeader::kSize, read_error)) {
      return Fail(error, read_error,
                  Truncated("the header of structure " + std::to_string(i),
                            reader.offset() + StructureHeader::kSize, reader.end_of_data()));
    }
    CopyRecord(reader.Take(StructureHeader::kSize), entry.header);
    const std::size_t tiles = entry.header.NumberOfTiles();
    const std::size_t tile_bytes = tiles * TileRecord::kSize;
    const bool whole = reader.Ensure(tile_bytes, read_error);
    // A structure cut short keeps the tiles that arrived whole.
    const std::size_t arrived =
        whole ? tiles : (reader.end_of_data() - reader.offset()) / TileRecord::kSize;
    std::string damage;
    if (!whole) {
      damage = Truncated("tile " + std::to_string(arrived) + " of structure " + std::to_string(i),
                         reader.offset() + (arrived + 1) * TileRecord::kSize, reader.end_of_data());
    }
    entry.tiles.resize(arrived);
    if (arrived)
      std::memcpy(entry.tiles.data(), reader.Take(arrived * TileRecord::kSize),
                  arrived * TileRecord::kSize);
    set.AppendStructure(std::move(entry));
    if (!whole) return Fail(error, read_error, damage);
  }
  return true;
}

}  // namespace

bool ParseStructureData(InputFile& source, StructureSet& set, std::string& error) {
  if (Parse(source, set, error)) return true;
  set.Clear();
  return false;
}

bool ParseStructureDataUpToDamage(InputFile& source, StructureSet& set, std::string& error) {
  return Parse(source, set, error);
}

bool ParseStructureData(const std::uint8_t* data, std::size_t size, StructureSet& set,
                        std::string& error) {
  MemoryInputFile source(data, size);
  return ParseStructureData(source, set, error);
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

bool FitsTheFormat(const StructureSet& set, std::string& error) {
  const std::size_t structures = set.StructureCount();
  if (structures > kMaxStructures) {
    error = "the document has " + std::to_string(structures) +
            " structures; a file holds at most " + std::to_string(kMaxStructures);
    return false;
  }
  for (std::size_t i = 0; i < structures; ++i) {
    const std::size_t count = set.TileCount(i);
    if (count > kMaxTilesPerStructure) {
      error = "structure " + std::to_string(i) + " has " + std::to_string(count) +
              " tiles; a file holds at most " + std::to_string(kMaxTilesPerStructure) +
              " per structure";
      return false;
    }
  }
  return true;
}

bool WriteStructureData(const StructureSet& set, const ByteSink& sink) {
  std::size_t tiles = 0;
  for (std::size_t i = 0; i < set.StructureCount(); ++i) tiles += set.TileCount(i);
  // The pieces are gathered in one small buffer, which stays in the cache,
  // rather than in a buffer of the whole file, whose fresh pages would cost
  // more than writing them.
  std::vector<std::uint8_t> piece;
  piece.reserve(kWritePieceSize);
  const auto add = [&](const std::uint8_t* data, std::size_t size) {
    if (piece.size() + size > kWritePieceSize) {
      if (!sink(piece.data(), piece.size())) return false;
      piece.clear();
    }
    piece.insert(piece.end(), data, data + size);
    return true;
  };
  const FileHeader file_header = MakeFileHeader(set.StructureCount(), tiles);
  add(file_header.bytes.data(), FileHeader::kSize);
  for (std::size_t i = 0; i < set.StructureCount(); ++i) {
    const StructureEntry& entry = set.Entry(i);
    StructureHeader header = entry.header;
    header.SetStructureNumber(static_cast<std::uint16_t>(i));
    header.SetNumberOfTiles(static_cast<std::uint8_t>(entry.tiles.size()));
    // A structure's tiles lie in one block, record after record.
    if (!add(header.bytes.data(), StructureHeader::kSize) ||
        (!entry.tiles.empty() &&
         !add(entry.tiles.front().bytes.data(), entry.tiles.size() * TileRecord::kSize)))
      return false;
  }
  return piece.empty() || sink(piece.data(), piece.size());
}

bool SerializeStructureData(const StructureSet& set, std::vector<std::uint8_t>& out,
                            std::string& error) {
  out.clear();
  if (!FitsTheFormat(set, error)) return false;
  return WriteStructureData(set, [&out](const std::uint8_t* data, std::size_t size) {
    out.insert(out.end(), data, data + size);
    return true;
  });
}

}  // namespace brx
