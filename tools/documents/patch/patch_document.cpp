#include "tools/documents/patch/patch_document.h"

#include <algorithm>

#include "model/flags.h"
#include "model/structure_data.h"
#include "tools/documents/document_diff.h"
#include "tools/documents/field_values.h"
#include "tools/text/quoting.h"

namespace brx::tool {
namespace {

std::string Count(std::size_t count) {
  return count == 0 ? "none" : std::to_string(count) + " (0 to " + std::to_string(count - 1) + ")";
}

bool NotInList(bool end, std::size_t index, std::size_t count, const char* what,
               const std::string& owner, std::string& error) {
  error = (end ? std::string("\"-\" names no ") + what + " yet, only where one can be added"
               : std::string("no ") + what + " " + std::to_string(index)) +
          "; " + owner + " " + Count(count);
  return false;
}

// An element of a list of `count`: an index below it, or for an add up to
// it; "-" (`end`, of the path's last step only) just for an add. The words
// for the list's owner are made only for a message: this runs for every
// operation of a patch.
template <typename Owner>
bool InList(bool end, std::size_t index, std::size_t count, bool adding, const char* what,
            const Owner& owner, std::string& error) {
  if (end ? adding : index < count || (adding && index == count)) return true;
  return NotInList(end, index, count, what, owner(), error);
}

template <typename Element>
bool Insert(std::vector<Element>& list, const PatchPath& path, std::size_t index, Element element,
            std::size_t most, const std::string& what, std::string& error) {
  if (list.size() >= most) {
    error = "no room for another " + what + ": there are " + std::to_string(most) +
            ", the most a file holds";
    return false;
  }
  list.insert(path.end ? list.end() : list.begin() + static_cast<std::ptrdiff_t>(index),
              std::move(element));
  return true;
}

using Cells = std::array<std::uint8_t, TileRecord::kShapeCells>;

// A shape's cells row by row, as a patch sees them, from the tile and back.
void CellsOfShape(const TileRecord& tile, Cells& cells) {
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      cells[row * TileRecord::kShapeSide + column] =
          tile.ShapeByte(TileRecord::ShapeByteIndex(row, column));
    }
  }
}

void ShapeOfCells(const Cells& cells, TileRecord& tile) {
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      tile.SetShapeByte(TileRecord::ShapeByteIndex(row, column),
                        cells[row * TileRecord::kShapeSide + column]);
    }
  }
}

}  // namespace

bool PatchDocument::Has(const PatchPath& path, bool adding, std::string& error) {
  if (path.node == PatchNode::kDocument || path.node == PatchNode::kStructures) return true;
  const bool structure = path.node == PatchNode::kStructure;
  if (!InList(
          structure && path.end, path.structure, entries_.size(), adding && structure, "structure",
          [] { return std::string("there are"); }, error))
    return false;
  const auto owner = [&path] { return "structure " + std::to_string(path.structure); };
  if (path.node == PatchNode::kLabel) {
    return InList(
        path.end, path.index, Labels(path.structure).size(), adding, "label",
        [&owner] { return owner() + "'s Flags lists"; }, error);
  }
  if (!IsInTile(path.node)) return true;
  const bool tile = path.node == PatchNode::kTile;
  if (!InList(
          tile && path.end, path.tile, TileCount(path.structure), adding && tile, "tile",
          [&owner] { return owner() + " has"; }, error))
    return false;
  if (path.node != PatchNode::kShapeRow && path.node != PatchNode::kShapeCell) return true;
  const bool row = path.node == PatchNode::kShapeRow;
  const Rows* rows = FindRows(path.structure, path.tile);
  const std::size_t side = TileRecord::kShapeSide;
  if (!InList(
          row && path.end, path.row, rows ? rows->size() : side, adding && row, "row",
          [&] { return owner() + " tile " + std::to_string(path.tile) + "'s Shape has"; }, error))
    return false;
  return row || InList(
                    path.end, path.index, rows ? (*rows)[path.row].size() : side, adding, "value",
                    [&path] { return "its row " + std::to_string(path.row) + " has"; }, error);
}

std::vector<std::uint8_t>& PatchDocument::Labels(std::size_t structure) {
  const auto open = open_flags_.find(structure);
  if (open != open_flags_.end()) return open->second;
  return open_flags_[structure] = LabelsOf(entries_[structure].header.Flags());
}

PatchDocument::Rows* PatchDocument::FindRows(std::size_t structure, std::size_t tile) {
  const auto open = open_shapes_.find({structure, tile});
  return open == open_shapes_.end() ? nullptr : &open->second;
}

PatchDocument::Rows& PatchDocument::OpenRows(std::size_t structure, std::size_t tile) {
  if (Rows* rows = FindRows(structure, tile)) return *rows;
  Cells cells;
  CellsOfShape(entries_[structure].tiles[tile], cells);
  Rows rows;
  for (std::size_t row = 0; row < TileRecord::kShapeSide; ++row) {
    const auto first = cells.begin() + static_cast<std::ptrdiff_t>(row * TileRecord::kShapeSide);
    rows.emplace_back(first, first + TileRecord::kShapeSide);
  }
  return open_shapes_[{structure, tile}] = std::move(rows);
}

bool PatchDocument::SettleWithin(const std::size_t* structure, const std::size_t* tile, bool flags,
                                 bool shapes, std::string& error) {
  bool settled = true;
  for (auto open = open_flags_.begin(); flags && open != open_flags_.end();) {
    if (structure && open->first != *structure) {
      ++open;
      continue;
    }
    entries_[open->first].header.SetFlags(FlagWordOf(open->second));
    open = open_flags_.erase(open);
  }
  for (auto open = open_shapes_.begin(); shapes && open != open_shapes_.end();) {
    const auto [owner, own_tile] = open->first;
    if ((structure && owner != *structure) || (tile && own_tile != *tile)) {
      ++open;
      continue;
    }
    const Rows& rows = open->second;
    bool grid = rows.size() == TileRecord::kShapeSide;
    Cells cells{};
    for (std::size_t row = 0; grid && row < TileRecord::kShapeSide; ++row) {
      grid = rows[row].size() == TileRecord::kShapeSide;
      for (std::size_t column = 0; grid && column < TileRecord::kShapeSide; ++column)
        cells[row * TileRecord::kShapeSide + column] = rows[row][column];
    }
    if (grid) {
      ShapeOfCells(cells, entries_[owner].tiles[own_tile]);
    } else if (settled) {
      settled = false;
      error = RecordPlace(owner, own_tile) + ": the patch leaves its Shape other than " +
              std::to_string(TileRecord::kShapeSide) + " rows of " +
              std::to_string(TileRecord::kShapeSide) + " values";
    }
    open = open_shapes_.erase(open);
  }
  return settled;
}

bool PatchDocument::Settle(const PatchPath& path, std::string& error) {
  switch (path.node) {
    case PatchNode::kHeaderField:
    case PatchNode::kTileField:
    case PatchNode::kLabel:
    case PatchNode::kShapeRow:
    case PatchNode::kShapeCell:
      return true;
    case PatchNode::kFlags:
      return SettleWithin(&path.structure, nullptr, true, false, error);
    case PatchNode::kShape:
      return SettleWithin(&path.structure, &path.tile, false, true, error);
    case PatchNode::kTiles:
    case PatchNode::kTile:
      // Adding or removing a tile shifts the tiles after it.
      return SettleWithin(&path.structure, nullptr, false, true, error);
    default:
      break;
  }
  return SettleAll(error);
}

bool PatchDocument::SettleAll(std::string& error) {
  return SettleWithin(nullptr, nullptr, true, true, error);
}

bool PatchDocument::Get(const PatchPath& path, PatchValue& value, std::string& error) {
  if (!Has(path, false, error)) return false;
  // Emptied in place: a number is got for nearly every operation of a patch.
  value.node = path.node;
  value.number = 0;
  value.items.clear();
  value.structures.clear();
  value.tiles.clear();
  value.cells.fill(0);
  switch (path.node) {
    case PatchNode::kDocument:
    case PatchNode::kStructures:
      value.structures = entries_;
      break;
    case PatchNode::kStructure:
      value.structures.push_back(entries_[path.structure]);
      break;
    case PatchNode::kHeaderField:
      value.number = path.field->ValueIn(entries_[path.structure].header);
      break;
    case PatchNode::kFlags:
      value.items = LabelsOf(entries_[path.structure].header.Flags());
      break;
    case PatchNode::kLabel:
      value.number = Labels(path.structure)[path.index];
      break;
    case PatchNode::kTiles:
      value.tiles = entries_[path.structure].tiles;
      break;
    case PatchNode::kTile:
      value.tiles.push_back(Tile(path));
      break;
    case PatchNode::kTileField:
      value.number = path.field->ValueIn(Tile(path));
      break;
    case PatchNode::kShape:
      CellsOfShape(Tile(path), value.cells);
      break;
    case PatchNode::kShapeRow:
      value.items = OpenRows(path.structure, path.tile)[path.row];
      break;
    case PatchNode::kShapeCell:
      if (const Rows* rows = FindRows(path.structure, path.tile)) {
        value.number = (*rows)[path.row][path.index];
      } else {
        value.number = Tile(path).ShapeByte(TileRecord::ShapeByteIndex(path.row, path.index));
      }
      break;
  }
  return true;
}

bool PatchDocument::Add(const PatchPath& path, PatchValue&& value, std::string& error) {
  return Put(path, std::move(value), true, error);
}

bool PatchDocument::Replace(const PatchPath& path, PatchValue&& value, std::string& error) {
  return Put(path, std::move(value), false, error);
}

bool PatchDocument::Put(const PatchPath& path, PatchValue&& value, bool adding,
                        std::string& error) {
  const PatchValueKind kind = KindOf(path.node);
  if (KindOf(value.node) != kind) {
    error = text::Quoted(PatchPointer(path)) + " takes " + DescribeKind(kind) + ", not " +
            DescribeKind(KindOf(value.node));
    return false;
  }
  const bool inserting = adding && IsListElement(path.node);
  if (!Has(path, inserting, error)) return false;
  std::uint32_t bits = 0;
  if (kind == PatchValueKind::kNumber) {
    // A value read from the patch is in its field's range already; one moved
    // or copied from another field may not be.
    const IntKind int_kind = path.field ? path.field->kind : fields::kShape.kind;
    const IntRange range = RangeOf(int_kind);
    if (value.number < range.min || value.number > range.max) {
      IntegerFromText(std::to_string(value.number), int_kind, bits, error);
      return false;
    }
    bits = static_cast<std::uint32_t>(value.number);
  }
  switch (path.node) {
    case PatchNode::kDocument:
    case PatchNode::kStructures:
      if (value.structures.size() > kMaxStructures) {
        error = "a file holds at most " + std::to_string(kMaxStructures) + " structures";
        return false;
      }
      entries_ = std::move(value.structures);
      return true;
    case PatchNode::kStructure:
      if (inserting)
        return Insert(entries_, path, path.structure, std::move(value.structures[0]),
                      kMaxStructures, "structure", error);
      entries_[path.structure] = std::move(value.structures[0]);
      return true;
    case PatchNode::kHeaderField:
      path.field->Put(entries_[path.structure].header, bits);
      return true;
    case PatchNode::kFlags:
      entries_[path.structure].header.SetFlags(FlagWordOf(value.items));
      return true;
    case PatchNode::kLabel: {
      std::vector<std::uint8_t>& labels = Labels(path.structure);
      const auto bit = static_cast<std::uint8_t>(value.number);
      if (inserting) return Insert(labels, path, path.index, bit, ~std::size_t{0}, "", error);
      labels[path.index] = bit;
      return true;
    }
    case PatchNode::kTiles:
      if (value.tiles.size() > kMaxTilesPerStructure) {
        error = "a structure holds at most " + std::to_string(kMaxTilesPerStructure) + " tiles";
        return false;
      }
      entries_[path.structure].tiles = std::move(value.tiles);
      return true;
    case PatchNode::kTile:
      if (inserting)
        return Insert(entries_[path.structure].tiles, path, path.tile, value.tiles[0],
                      kMaxTilesPerStructure, "tile in structure " + std::to_string(path.structure),
                      error);
      Tile(path) = value.tiles[0];
      return true;
    case PatchNode::kTileField:
      path.field->Put(Tile(path), bits);
      return true;
    case PatchNode::kShape:
      ShapeOfCells(value.cells, Tile(path));
      return true;
    case PatchNode::kShapeRow: {
      Rows& rows = OpenRows(path.structure, path.tile);
      if (inserting)
        return Insert(rows, path, path.row, std::move(value.items), ~std::size_t{0}, "", error);
      rows[path.row] = std::move(value.items);
      return true;
    }
    case PatchNode::kShapeCell: {
      const auto cell = static_cast<std::uint8_t>(bits);
      Rows* rows = FindRows(path.structure, path.tile);
      if (!rows && !inserting) {
        Tile(path).SetShapeByte(TileRecord::ShapeByteIndex(path.row, path.index), cell);
        return true;
      }
      std::vector<std::uint8_t>& row = OpenRows(path.structure, path.tile)[path.row];
      if (inserting) return Insert(row, path, path.index, cell, ~std::size_t{0}, "", error);
      row[path.index] = cell;
      return true;
    }
  }
  return true;
}

bool PatchDocument::Remove(const PatchPath& path, std::string& error) {
  if (!IsListElement(path.node)) {
    error = text::Quoted(PatchPointer(path)) +
            " cannot be removed: the document always has it (replace it instead)";
    return false;
  }
  if (!Has(path, false, error)) return false;
  const auto erase = [](auto& list, std::size_t index) {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  };
  switch (path.node) {
    case PatchNode::kStructure:
      erase(entries_, path.structure);
      break;
    case PatchNode::kTile:
      erase(entries_[path.structure].tiles, path.tile);
      break;
    case PatchNode::kLabel:
      erase(Labels(path.structure), path.index);
      break;
    case PatchNode::kShapeRow:
      erase(OpenRows(path.structure, path.tile), path.row);
      break;
    default:
      erase(OpenRows(path.structure, path.tile)[path.row], path.index);
      break;
  }
  return true;
}

}  // namespace brx::tool
