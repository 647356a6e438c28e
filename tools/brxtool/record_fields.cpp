#include "tools/brxtool/record_fields.h"

namespace brx::tool {

const std::array<RecordField, 12>& StructureFields() {
  using H = StructureHeader;
  static const std::array<RecordField, 12> kFields{{
      {"StructureNumber", "StructureNumber", FieldRole::kInteger, H::kStructureNumber, IntKind::U16,
       true},
      {"Armour", "Armour (0-255)", FieldRole::kInteger, H::kArmour, IntKind::U8, false},
      {"HitPoints", "HitPoints (0-255)", FieldRole::kInteger, H::kHitPoints, IntKind::U8, false},
      {"Density", "Density (0-255)", FieldRole::kInteger, H::kDensity, IntKind::U8, false},
      {"Flags", "Flags", FieldRole::kFlags, H::kFlags, IntKind::U32, false},
      {"WallOrientation", "WallOrientation", FieldRole::kInteger, H::kWallOrientation, IntKind::U8,
       false},
      {"DestructionPartner",
       "DestructionPartner(>0 = debris number (bDP - 1), <0 = partner graphic )",
       FieldRole::kInteger, H::kDestructionPartner, IntKind::I8, false},
      {"PartnerDelta", "PartnerDelta(// opened/closed version, etc... 0 for unused)",
       FieldRole::kInteger, H::kPartnerDelta, IntKind::I8, false},
      {"ZTileOffsetX", "ZtileOffsetX", FieldRole::kInteger, H::kZTileOffsetX, IntKind::I8, false},
      {"ZTileOffsetY", "ZTileOffsetY", FieldRole::kInteger, H::kZTileOffsetY, IntKind::I8, false},
      {"Reserved", "Reserved", FieldRole::kInteger, H::kReserved, IntKind::U8, true},
      {"Tiles", "NumberOfTiles", FieldRole::kTiles, H::kNumberOfTiles, IntKind::U8, false},
  }};
  return kFields;
}

const std::array<RecordField, 7>& TileFields() {
  using T = TileRecord;
  static const std::array<RecordField, 7> kFields{{
      {"sPosRelToBase", "sPosRelToBase \"single-axis\"", FieldRole::kInteger, T::ksPosRelToBase,
       IntKind::I16, false},
      {"bXPosRelToBase", "bXPosRelToBase", FieldRole::kInteger, T::kbXPosRelToBase, IntKind::I8,
       false},
      {"bYPosRelToBase", "bYPosRelToBase", FieldRole::kInteger, T::kbYPosRelToBase, IntKind::I8,
       false},
      {"Shape", "Shape", FieldRole::kShape, T::kShape, IntKind::U8, false},
      {"TileFlags", "TileFlags", FieldRole::kInteger, T::kTileFlags, IntKind::U8, false},
      {"ubVehicleHitLocation", "ubVehicleHitLocation", FieldRole::kInteger,
       T::kubVehicleHitLocation, IntKind::U8, false},
      {"Reserved", "Reserved", FieldRole::kInteger, T::kReserved, IntKind::U8, true},
  }};
  return kFields;
}

IntRange RangeOf(IntKind kind) {
  switch (kind) {
    case IntKind::U8:
      return {0, 0xFF};
    case IntKind::I8:
      return {-0x80, 0x7F};
    case IntKind::U16:
      return {0, 0xFFFF};
    case IntKind::I16:
      return {-0x8000, 0x7FFF};
    case IntKind::U32:
      return {0, 0xFFFFFFFF};
  }
  return {0, 0};
}

}  // namespace brx::tool
