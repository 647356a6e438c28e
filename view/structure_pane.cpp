#include "view/structure_pane.h"

#include "res/resource.h"

namespace brx {

CStructurePane::CStructurePane(const StructureHeader& header)
    : CRecordPane(IDD_STRUCTURE_PANE, Fields(), header) {}

const std::vector<FieldBinding>& CStructurePane::Fields() {
  static const std::vector<FieldBinding> fields = [] {
    std::vector<FieldBinding> list{
        FieldBinding::Int(IDC_ARMOUR, fields::kArmour),
        FieldBinding::Int(IDC_HIT_POINTS, fields::kHitPoints),
        FieldBinding::Int(IDC_DENSITY, fields::kDensity),
        FieldBinding::Int(IDC_WALL_ORIENTATION, fields::kWallOrientation),
        FieldBinding::Int(IDC_Z_TILE_OFFSET_X, fields::kZTileOffsetX),
        FieldBinding::Int(IDC_Z_TILE_OFFSET_Y, fields::kZTileOffsetY),
        FieldBinding::Int(IDC_DESTRUCTION_PARTNER, fields::kDestructionPartner),
        FieldBinding::Int(IDC_PARTNER_DELTA, fields::kPartnerDelta),
    };
    for (std::size_t bit = 0; bit < StructureFlags::kBits; ++bit)
      list.push_back(FieldBinding::Flag(IDC_FIRST_FLAG + static_cast<int>(bit),
                                        fields::kFlags.offset, fields::kFlags.kind, bit));
    return list;
  }();
  return fields;
}

}  // namespace brx
