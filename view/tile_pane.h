// The form of one tile: its position relative to the base tile, its two
// tile flags, its vehicle hit location and its 5 by 5 shape (dialog 202).
#pragma once

#include <string>
#include <vector>

#include "model/records.h"
#include "view/record_pane.h"

namespace brx {

class CTilePane : public CRecordPane<TileRecord> {
 public:
  explicit CTilePane(const TileRecord& tile);

  // Positions, vehicle hit location, the two tile flags, then shape bytes 0
  // to 24 (cell k is control 1024 + k).
  static const std::vector<FieldBinding>& Fields();

  // A shape cell is named by the grid's label and its place in the grid.
  std::string FieldName(int control) const override;
};

}  // namespace brx
