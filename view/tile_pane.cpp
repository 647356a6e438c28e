#include "view/tile_pane.h"

#include "model/flags.h"
#include "res/resource.h"

namespace brx {

CTilePane::CTilePane(const TileRecord& tile) : CRecordPane(IDD_TILE_PANE, Fields(), tile) {}

const std::vector<FieldBinding>& CTilePane::Fields() {
  static const std::vector<FieldBinding> fields = [] {
    using T = TileRecord;
    std::vector<FieldBinding> list{
        FieldBinding::Int(IDC_S_POS_REL_TO_BASE, T::ksPosRelToBase, IntKind::I16),
        FieldBinding::Int(IDC_B_X_POS_REL_TO_BASE, T::kbXPosRelToBase, IntKind::I8),
        FieldBinding::Int(IDC_B_Y_POS_REL_TO_BASE, T::kbYPosRelToBase, IntKind::I8),
        FieldBinding::Int(IDC_UB_VEHICLE_HIT_LOCATION, T::kubVehicleHitLocation, IntKind::U8),
        FieldBinding::Flag(IDC_TILE_ON_ROOF, T::kTileFlags, IntKind::U8, TileFlags::kOnRoof),
        FieldBinding::Flag(IDC_TILE_PASSABLE, T::kTileFlags, IntKind::U8, TileFlags::kPassable),
    };
    for (std::size_t k = 0; k < T::kShapeCells; ++k)
      list.push_back(FieldBinding::Int(IDC_FIRST_SHAPE_CELL + static_cast<int>(k), T::kShape + k,
                                       IntKind::U8));
    return list;
  }();
  return fields;
}

std::string CTilePane::FieldName(int control) const {
  const std::string label = CRecordPane::FieldName(control);
  if (control < IDC_FIRST_SHAPE_CELL || control > IDC_LAST_SHAPE_CELL) return label;
  // Cell k stands in column k / 5 and row k % 5, counted from 1 for people.
  const int cell = control - IDC_FIRST_SHAPE_CELL;
  const int side = static_cast<int>(TileRecord::kShapeSide);
  return label + " (column " + std::to_string(cell / side + 1) + ", row " +
         std::to_string(cell % side + 1) + ")";
}

}  // namespace brx
