#include "tools/documents/patch/patch_document.h"

#include <algorithm>

#include "model/flags.h"
#include "model/structure_data.h"
#include "tools/documents/field_values.h"
#include "tools/text/quoting.h"

namespace brx::tool {
namespace {

std::string Count(std::size_t count) {
  return count == 0 ? "none" : std::to_string(count) + " (0 to " + std::to_string(count - 1) + ")";
}

// An element of a list of `count`: an index below it, or for an add up to
// it; "-" (`end`, of the path's last step only) just for an add.
bool InList(bool end, std::size_t index, std::size_t count, bool adding, const std::string& what,
            const std::string& owner, std::string& error) {
  if (end && adding) return true;
  if (!end && (index < count || (adding && index == count))) return true;
  error = (end ? "\"-\" names no " + what + " yet, only where one can be added"
               : "no " + what + " " + std::to_string(index)) +
          "; " + owner + " " + Count(count);
  return false;
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

void CellsOfShape(const TileRecord& tile, std::array<std::uint8_t, TileRecord::kShapeCells>& cells,
                  std::size_t first_row, std::size_t rows) {
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      cells[row * TileRecord::kShapeSide + column] =
          tile.ShapeByte(TileRecord::ShapeByteIndex(first_row + row, column));
    }
  }
}

void ShapeOfCells(const std::array<std::uint8_t, TileRecord::kShapeCells>& cells,
                  std::size_t first_row, std::size_t rows, TileRecord& tile) {
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < TileRecord::kShapeSide; ++column) {
      tile.SetShapeByte(TileRecord::ShapeByteIndex(first_row + row, column),
                        cells[row * TileRecord::kShapeSide + column]);
    }
  }
}

}  // namespace

bool PatchDocument::Has(const PatchPath& path, bool adding, std::string& error) {
  if (path.node == PatchNode::kDocument || path.node == PatchNode::kStructures) return true;
  const std::size_t structures = entries_.size();
  const bool structure = path.node == PatchNode::kStructure;
  if (!InList(structure && path.end, path.structure, structures, adding && structure, "structure",
              "there are", error))
    return false;
  const std::string owner = "structure " + std::to_string(path.structure);
  switch (path.node) {
    case PatchNode::kLabel:
      return InList(path.end, path.index, Labels(path.structure).size(), adding, "label",
                    owner + "'s Flags lists", error);
    case PatchNode::kTile:
    case PatchNode::kTileField:
    case PatchNode::kShape:
    case PatchNode::kShapeRow:
    case PatchNode::kShapeCell:
      return InList(path.end && path.node == PatchNode::kTile, path.tile, TileCount(path.structure),
                    adding && path.node == PatchNode::kTile, "tile", owner + " has", error);
    default:
      break;
  }
  return true;
}

std::vector<std::uint8_t>& PatchDocument::Labels(std::size_t structure) {
  for (auto& [owner, labels] : open_flags_) {
    if (owner == structure) return labels;
  }
  open_flags_.emplace_back(structure, LabelsOf(entries_[structure].header.Flags()));
  return open_flags_.back().second;
}

void PatchDocument::CloseFlags() {
  for (const auto& [owner, labels] : open_flags_)
    entries_[owner].header.SetFlags(FlagWordOf(labels));
  open_flags_.clear();
}

bool PatchDocument::Get(const PatchPath& path, PatchValue& value, std::string& error) {
  if (path.node != PatchNode::kLabel) CloseFlags();
  if (!Has(path, false, error)) return false;
  value = PatchValue();
  value.node = path.node;
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
      value.labels = LabelsOf(entries_[path.structure].header.Flags());
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
      CellsOfShape(Tile(path), value.cells, 0, TileRecord::kShapeSide);
      break;
    case PatchNode::kShapeRow:
      CellsOfShape(Tile(path), value.cells, path.row, 1);
      break;
    case PatchNode::kShapeCell:
      value.number = Tile(path).ShapeByte(TileRecord::ShapeByteIndex(path.row, path.index));
      break;
  }
  return true;
}

bool PatchDocument::Add(const PatchPath& path, PatchValue value, std::string& error) {
  return Put(path, std::move(value), true, error);
}

bool PatchDocument::Replace(const PatchPath& path, PatchValue value, std::string& error) {
  return Put(path, std::move(value), false, error);
}

bool PatchDocument::Put(const PatchPath& path, PatchValue&& value, bool adding,
                        std::string& error) {
  if (path.node != PatchNode::kLabel) CloseFlags();
  const PatchValueKind kind = KindOf(path.node);
  if (KindOf(value.node) != kind) {
    error = text::Quoted(PatchPointer(path)) + " takes " + DescribeKind(kind) + ", not " +
            DescribeKind(KindOf(value.node));
    return false;
  }
  // An add into a list inserts; into a shape, whose size is fixed, it cannot.
  if (adding && (path.node == PatchNode::kShapeRow || path.node == PatchNode::kShapeCell)) {
    error = "a shape has " + std::to_string(TileRecord::kShapeSide) + " rows of " +
            std::to_string(TileRecord::kShapeSide) + " values; replace one rather than add one";
    return false;
  }
  const bool inserting = adding && IsListElement(path.node);
  if (!Has(path, inserting, error)) return false;
  std::uint32_t bits = 0;
  if (kind == PatchValueKind::kNumber) {
    const IntKind int_kind = path.field ? path.field->kind : fields::kShape.kind;
    if (!IntegerFromText(std::to_string(value.number), int_kind, bits, error)) return false;
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
      entries_[path.structure].header.SetFlags(FlagWordOf(value.labels));
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
      ShapeOfCells(value.cells, 0, TileRecord::kShapeSide, Tile(path));
      return true;
    case PatchNode::kShapeRow:
      ShapeOfCells(value.cells, path.row, 1, Tile(path));
      return true;
    case PatchNode::kShapeCell:
      Tile(path).SetShapeByte(TileRecord::ShapeByteIndex(path.row, path.index),
                              static_cast<std::uint8_t>(bits));
      return true;
  }
  return true;
}

bool PatchDocument::Remove(const PatchPath& path, std::string& error) {
  if (path.node != PatchNode::kLabel) CloseFlags();
  const bool element = path.node == PatchNode::kStructure || path.node == PatchNode::kTile ||
                       path.node == PatchNode::kLabel;
  if (!element) {
    error = text::Quoted(PatchPointer(path)) +
            " cannot be removed: the document always has it (replace it instead)";
    return false;
  }
  if (!Has(path, false, error)) return false;
  switch (path.node) {
    case PatchNode::kStructure:
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(path.structure));
      break;
    case PatchNode::kTile: {
      std::vector<TileRecord>& tiles = entries_[path.structure].tiles;
      tiles.erase(tiles.begin() + static_cast<std::ptrdiff_t>(path.tile));
      break;
    }
    default: {
      std::vector<std::uint8_t>& labels = Labels(path.structure);
      labels.erase(labels.begin() + static_cast<std::ptrdiff_t>(path.index));
      break;
    }
  }
  return true;
}

}  // namespace brx::tool
