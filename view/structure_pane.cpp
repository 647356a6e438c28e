#include "view/structure_pane.h"

#include "res/resource.h"

namespace brx {

CStructurePane::CStructurePane(const StructureHeader& header)
    : CRecordPane(IDD_STRUCTURE_PANE, Fields(), header) {}

const std::vector<FieldBinding>& CStructurePane::Fields() {
  static const std::vector<FieldBinding> fields = [] {
    using H = StructureHeader;
    std::vector<FieldBinding> list{
        FieldBinding::Int(IDC_ARMOUR, H::kArmour, IntKind::U8),
        FieldBinding::Int(IDC_HIT_POINTS, H::kHitPoints, IntKind::U8),
        FieldBinding::Int(IDC_DENSITY, H::kDensity, IntKind::U8),
        FieldBinding::Int(IDC_WALL_ORIENTATION, H::kWallOrientation, IntKind::U8),
        FieldBinding::Int(IDC_Z_TILE_OFFSET_X, H::kZTileOffsetX, IntKind::I8),
        FieldBinding::Int(IDC_Z_TILE_OFFSET_Y, H::kZTileOffsetY, IntKind::I8),
        FieldBinding::Int(IDC_DESTRUCTION_PARTNER, H::kDestructionPartner, IntKind::I8),
        FieldBinding::Int(IDC_PARTNER_DELTA, H::kPartnerDelta, IntKind::I8),
    };
    for (std::size_t bit = 0; bit < StructureFlags::kBits; ++bit)
      list.push_back(
          FieldBinding::Flag(IDC_FIRST_FLAG + static_cast<int>(bit), H::kFlags, IntKind::U32, bit));
    return list;
  }();
  return fields;
}

}  // namespace brx
