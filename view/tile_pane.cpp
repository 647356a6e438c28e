#include "view/tile_pane.h"

#include "model/flags.h"
#include "res/resource.h"

namespace brx {

CTilePane::CTilePane(const TileRecord& tile) : CRecordPane(IDD_TILE_PANE, Fields(), tile) {}

const std::vector<FieldBinding>& CTilePane::Fields() {
  static const std::vector<FieldBinding> fields = [] {
    const Field& flags = fields::kTileFlags;
    std::vector<FieldBinding> list{
        FieldBinding::Int(IDC_S_POS_REL_TO_BASE, fields::ksPosRelToBase),
        FieldBinding::Int(IDC_B_X_POS_REL_TO_BASE, fields::kbXPosRelToBase),
        FieldBinding::Int(IDC_B_Y_POS_REL_TO_BASE, fields::kbYPosRelToBase),
        FieldBinding::Int(IDC_UB_VEHICLE_HIT_LOCATION, fields::kubVehicleHitLocation),
        FieldBinding::Flag(IDC_TILE_ON_ROOF, flags.offset, flags.kind, TileFlags::kOnRoof),
        FieldBinding::Flag(IDC_TILE_PASSABLE, flags.offset, flags.kind, TileFlags::kPassable),
    };
    // Control k is shape byte k: the grid's edit boxes run column by column, as the bytes do.
    for (std::size_t k = 0; k < TileRecord::kShapeCells; ++k) {
      const TileRecord::ShapeCell cell = TileRecord::ShapeCellOfByte(k);
      list.push_back(FieldBinding::Int(IDC_FIRST_SHAPE_CELL + static_cast<int>(k),
                                       ShapeCellField(cell.row, cell.column)));
    }
    return list;
  }();
  return fields;
}

std::string CTilePane::FieldName(int control) const {
  const std::string label = CRecordPane::FieldName(control);
  if (control < IDC_FIRST_SHAPE_CELL || control > IDC_LAST_SHAPE_CELL) return label;
  // Columns and rows counted from 1 for people.
  const TileRecord::ShapeCell cell =
      TileRecord::ShapeCellOfByte(static_cast<std::size_t>(control - IDC_FIRST_SHAPE_CELL));
  return label + " (column " + std::to_string(cell.column + 1) + ", row " +
         std::to_string(cell.row + 1) + ")";
}

}  // namespace brx
