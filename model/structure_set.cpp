#include "model/structure_set.h"

#include <string>
#include <utility>

namespace brx {
namespace {

[[noreturn]] void ThrowOutOfRange(const char* what, std::size_t index, std::size_t count) {
  throw IndexOutOfRange(std::string(what) + " index " + std::to_string(index) +
                        " is out of range (count " + std::to_string(count) + ")");
}

}  // namespace

std::size_t StructureSet::AppendStructure(const StructureEntry& entry) {
  entries_.push_back(entry);
  return entries_.size() - 1;
}

std::size_t StructureSet::AppendStructure(StructureEntry&& entry) {
  entries_.push_back(std::move(entry));
  return entries_.size() - 1;
}

std::size_t StructureSet::AppendTile(std::size_t i, const TileRecord& tile) {
  auto& tiles = At(i).tiles;
  tiles.push_back(tile);
  return tiles.size() - 1;
}

StructureEntry& StructureSet::At(std::size_t i) {
  if (i >= entries_.size()) ThrowOutOfRange("structure", i, entries_.size());
  return entries_[i];
}

const StructureEntry& StructureSet::At(std::size_t i) const {
  return const_cast<StructureSet*>(this)->At(i);
}

TileRecord& StructureSet::TileAt(std::size_t i, std::size_t j) {
  auto& tiles = At(i).tiles;
  if (j >= tiles.size()) ThrowOutOfRange("tile", j, tiles.size());
  return tiles[j];
}

const TileRecord& StructureSet::TileAt(std::size_t i, std::size_t j) const {
  return const_cast<StructureSet*>(this)->TileAt(i, j);
}

bool operator==(const StructureSet& a, const StructureSet& b) {
  if (a.entries_.size() != b.entries_.size()) return false;
  for (std::size_t i = 0; i < a.entries_.size(); ++i) {
    if (a.entries_[i].header != b.entries_[i].header || a.entries_[i].tiles != b.entries_[i].tiles)
      return false;
  }
  return true;
}

}  // namespace brx
