#include "tools/documents/listing.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "model/fields.h"
#include "model/flags.h"

namespace brx::tool {
namespace {

// A flag word in hex, then the labels of its set bits that have one, in bit order.
template <typename LabelOf>
std::string FlagsText(std::uint32_t word, int hex_digits, std::size_t labelled_bits,
                      LabelOf label_of) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%0*X", hex_digits, static_cast<unsigned>(word));
  std::string labels;
  for (std::size_t bit = 0; bit < labelled_bits; ++bit) {
    if ((word >> bit) & 1u) labels += (labels.empty() ? "" : ", ") + std::string(label_of(bit));
  }
  if (labels.empty()) return hex;
  return std::string(hex) + " (" + labels + ")";
}

// The listing is gathered here and handed to the stream in large pieces:
// a stream call for each field cost more than all the rest of the work.
class ListingText {
 public:
  explicit ListingText(std::ostream& out) : out_(out) {}
  ListingText(const ListingText&) = delete;
  ListingText& operator=(const ListingText&) = delete;
  ~ListingText() { Flush(); }

  ListingText& operator<<(std::string_view text) {
    text_.append(text);
    return *this;
  }

  ListingText& operator<<(std::int64_t number) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, number);
    text_.append(digits, written.ptr);
    return *this;
  }

  // Between structures, once enough has gathered.
  void FlushSometimes() {
    if (text_.size() >= kPiece) Flush();
  }

 private:
  static constexpr std::size_t kPiece = 1 << 16;

  void Flush() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

  std::ostream& out_;
  std::string text_;
};

void WriteShape(const TileRecord& tile, ListingText& out) {
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    out << "     ";
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      // A space, then the byte right-aligned in three places.
      char cell[4] = {' ', ' ', ' ', ' '};
      unsigned value = tile.ShapeByte(TileRecord::ShapeByteIndex(row, column));
      std::size_t at = sizeof cell;
      do {
        cell[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
      } while (value);
      out << std::string_view(cell, sizeof cell);
    }
    out << "\n";
  }
}

void WriteTile(const TileRecord& tile, std::size_t j, ListingText& out) {
  out << "  Tile " << static_cast<std::int64_t>(j) << "\n";
  for (const Field& field : fields::kTileFields) {
    out << "    " << field.label << ":";
    if (field.role == FieldRole::kShape) {
      out << "\n";
      WriteShape(tile, out);
    } else if (field.offset == TileRecord::kTileFlags) {
      // A plain number in JSON, since bits 2 to 7 have no label; people get the labels.
      out << " " << FlagsText(tile.TileFlags(), 2, TileFlags::kLabelledBits, TileFlags::Label)
          << "\n";
    } else {
      out << " " << tile.Get(field.offset, field.kind) << "\n";
    }
  }
}

void WriteStructure(const StructureEntry& entry, std::size_t i, ListingText& out) {
  out << "\nStructure " << static_cast<std::int64_t>(i) << "\n";
  for (const Field& field : fields::kStructureFields) {
    out << "  " << field.label << ": ";
    if (field.role == FieldRole::kFlags) {
      out << FlagsText(entry.header.Flags(), 8, StructureFlags::kBits, StructureFlags::Label);
    } else if (field.role == FieldRole::kTiles) {
      out << static_cast<std::int64_t>(entry.tiles.size());
    } else {
      out << entry.header.Get(field.offset, field.kind);
    }
    out << "\n";
  }
  for (std::size_t j = 0; j < entry.tiles.size(); ++j) WriteTile(entry.tiles[j], j, out);
}

}  // namespace

void WriteListing(const FileHeader& header, const StructureSet& set, std::ostream& stream) {
  ListingText out(stream);
  // The magic is the same in every file listed; the reserved bytes are for check.
  out << "File header\n";
  for (const HeaderField& field : fields::kFileHeaderFields) {
    if (field.IsNumber())
      out << "  " << field.name << ": " << std::int64_t{field.NumberIn(header)} << "\n";
  }
  for (std::size_t i = 0; i < set.StructureCount(); ++i) {
    WriteStructure(set.Entry(i), i, out);
    out.FlushSometimes();
  }
}

}  // namespace brx::tool
