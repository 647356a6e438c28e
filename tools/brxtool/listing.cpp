#include "tools/brxtool/listing.h"

#include <cstdint>
#include <cstdio>
#include <string>

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

void WriteShape(const TileRecord& tile, std::ostream& out) {
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    std::string line = "     ";
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      char cell[8];
      std::snprintf(cell, sizeof cell, " %3u",
                    static_cast<unsigned>(tile.ShapeByte(TileRecord::ShapeByteIndex(row, column))));
      line += cell;
    }
    out << line << "\n";
  }
}

void WriteTile(const TileRecord& tile, std::size_t j, std::ostream& out) {
  out << "  Tile " << j << "\n";
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

void WriteStructure(const StructureEntry& entry, std::size_t i, std::ostream& out) {
  out << "\nStructure " << i << "\n";
  for (const Field& field : fields::kStructureFields) {
    out << "  " << field.label << ": ";
    if (field.role == FieldRole::kFlags) {
      out << FlagsText(entry.header.Flags(), 8, StructureFlags::kBits, StructureFlags::Label);
    } else if (field.role == FieldRole::kTiles) {
      out << entry.tiles.size();
    } else {
      out << entry.header.Get(field.offset, field.kind);
    }
    out << "\n";
  }
  for (std::size_t j = 0; j < entry.tiles.size(); ++j) WriteTile(entry.tiles[j], j, out);
}

}  // namespace

void WriteListing(const FileHeader& header, const StructureSet& set, std::ostream& out) {
  out << "File header\n"
      << "  NumberOfStructures: " << header.NumberOfStructures() << "\n"
      << "  NumberOfStructuresCopy: " << header.NumberOfStructuresCopy() << "\n"
      << "  DataSize: " << header.DataSize() << "\n"
      << "  FormatByte: " << static_cast<unsigned>(header.FormatByte()) << "\n";
  for (std::size_t i = 0; i < set.StructureCount(); ++i) WriteStructure(set.Entry(i), i, out);
}

}  // namespace brx::tool
