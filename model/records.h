// The three fixed-size records of a structure data file. Each is held as
// exactly its bytes, so that bytes and bits nobody interprets survive a read,
// an edit and a write unchanged. Multi-byte fields are little-endian whatever
// the host is; the accessors assemble them byte by byte. The fields a user
// edits are read and written through the field table (model/fields.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace brx {

// An integer field's width and signedness inside a record.
enum class IntKind { U8, I8, U16, I16, U32 };

// The bytes a field of the kind takes.
constexpr std::size_t WidthOf(IntKind kind) {
  switch (kind) {
    case IntKind::U8:
    case IntKind::I8:
      break;
    case IntKind::U16:
    case IntKind::I16:
      return 2;
    case IntKind::U32:
      return 4;
  }
  return 1;
}

template <std::size_t N>
class ByteRecord {
 public:
  static constexpr std::size_t kSize = N;

  std::array<std::uint8_t, N> bytes{};

  std::uint8_t U8(std::size_t offset) const { return bytes.at(offset); }
  std::int8_t I8(std::size_t offset) const { return static_cast<std::int8_t>(U8(offset)); }
  std::uint16_t U16(std::size_t offset) const {
    return static_cast<std::uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
  }
  std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
  std::uint32_t U32(std::size_t offset) const {
    return static_cast<std::uint32_t>(U16(offset)) | static_cast<std::uint32_t>(U16(offset + 2))
                                                         << 16;
  }

  void SetU8(std::size_t offset, std::uint8_t value) { bytes.at(offset) = value; }
  void SetU16(std::size_t offset, std::uint16_t value) {
    SetU8(offset, static_cast<std::uint8_t>(value));
    SetU8(offset + 1, static_cast<std::uint8_t>(value >> 8));
  }
  void SetU32(std::size_t offset, std::uint32_t value) {
    SetU16(offset, static_cast<std::uint16_t>(value));
    SetU16(offset + 2, static_cast<std::uint16_t>(value >> 16));
  }

  // Reads a field of the given kind widened to 32 bits: unsigned kinds by zero
  // extension, signed kinds by sign extension.
  std::int64_t Get(std::size_t offset, IntKind kind) const {
    switch (kind) {
      case IntKind::U8:
        return U8(offset);
      case IntKind::I8:
        return I8(offset);
      case IntKind::U16:
        return U16(offset);
      case IntKind::I16:
        return I16(offset);
      case IntKind::U32:
        return U32(offset);
    }
    return 0;
  }

  // Writes the low bits of a value into a field of the given kind: numbers
  // wider than the field are cut to its width, never refused.
  void Put(std::size_t offset, IntKind kind, std::uint32_t value) {
    switch (kind) {
      case IntKind::U8:
      case IntKind::I8:
        SetU8(offset, static_cast<std::uint8_t>(value));
        break;
      case IntKind::U16:
      case IntKind::I16:
        SetU16(offset, static_cast<std::uint16_t>(value));
        break;
      case IntKind::U32:
        SetU32(offset, value);
        break;
    }
  }

  friend bool operator==(const ByteRecord& a, const ByteRecord& b) { return a.bytes == b.bytes; }
  friend bool operator!=(const ByteRecord& a, const ByteRecord& b) { return !(a == b); }
};

// The first 16 bytes of a file.
class FileHeader : public ByteRecord<16> {
 public:
  enum Offset : std::size_t {
    kMagic = 0,
    kNumberOfStructures = 4,
    kNumberOfStructuresCopy = 6,
    kDataSize = 8,
    kFormatByte = 10,
    kReserved = 11,
  };
  static constexpr std::array<std::uint8_t, 4> kMagicBytes{'B', 'R', 'X', 'F'};
  static constexpr std::uint8_t kWrittenFormatByte = 2;

  bool HasMagic() const;
  void SetMagic();
  std::uint16_t NumberOfStructures() const { return U16(kNumberOfStructures); }
  void SetNumberOfStructures(std::uint16_t v) { SetU16(kNumberOfStructures, v); }
  std::uint16_t NumberOfStructuresCopy() const { return U16(kNumberOfStructuresCopy); }
  void SetNumberOfStructuresCopy(std::uint16_t v) { SetU16(kNumberOfStructuresCopy, v); }
  std::uint16_t DataSize() const { return U16(kDataSize); }
  void SetDataSize(std::uint16_t v) { SetU16(kDataSize, v); }
  std::uint8_t FormatByte() const { return U8(kFormatByte); }
  void SetFormatByte(std::uint8_t v) { SetU8(kFormatByte, v); }
};

// One structure's 16-byte header.
class StructureHeader : public ByteRecord<16> {
 public:
  enum Offset : std::size_t {
    kArmour = 0,
    kHitPoints = 1,
    kDensity = 2,
    kNumberOfTiles = 3,
    kFlags = 4,
    kStructureNumber = 8,
    kWallOrientation = 10,
    kDestructionPartner = 11,
    kPartnerDelta = 12,
    kZTileOffsetX = 13,
    kZTileOffsetY = 14,
    kReserved = 15,
  };

  std::uint8_t NumberOfTiles() const { return U8(kNumberOfTiles); }
  void SetNumberOfTiles(std::uint8_t v) { SetU8(kNumberOfTiles, v); }
  std::uint32_t Flags() const { return U32(kFlags); }
  void SetFlags(std::uint32_t v) { SetU32(kFlags, v); }
  std::uint16_t StructureNumber() const { return U16(kStructureNumber); }
  void SetStructureNumber(std::uint16_t v) { SetU16(kStructureNumber, v); }
};

// One tile's 32-byte record.
class TileRecord : public ByteRecord<32> {
 public:
  enum Offset : std::size_t {
    ksPosRelToBase = 0,
    kbXPosRelToBase = 2,
    kbYPosRelToBase = 3,
    kShape = 4,
    kTileFlags = 29,
    kubVehicleHitLocation = 30,
    kReserved = 31,
  };
  static constexpr std::size_t kShapeSide = 5;
  static constexpr std::size_t kShapeCells = kShapeSide * kShapeSide;

  // The shape is stored column by column: cell (column c, row r) is shape byte 5c + r.
  static constexpr std::size_t ShapeByteIndex(std::size_t row, std::size_t column) {
    return column * kShapeSide + row;
  }
  // Where shape byte k stands in the grid: ShapeByteIndex the other way round.
  struct ShapeCell {
    std::size_t row;
    std::size_t column;
  };
  static constexpr ShapeCell ShapeCellOfByte(std::size_t k) {
    return {k % kShapeSide, k / kShapeSide};
  }

  std::uint8_t ShapeByte(std::size_t k) const { return U8(kShape + CheckedShapeIndex(k)); }
  void SetShapeByte(std::size_t k, std::uint8_t v) { SetU8(kShape + CheckedShapeIndex(k), v); }
  std::uint8_t TileFlags() const { return U8(kTileFlags); }

 private:
  static std::size_t CheckedShapeIndex(std::size_t k);
};

}  // namespace brx
