#include "model/flags.h"

#include <stdexcept>

namespace brx {

template <typename Word>
std::size_t FlagWord<Word>::CheckedBit(std::size_t bit) {
  if (bit >= kBits) throw std::out_of_range("flag bit beyond the width of its word");
  return bit;
}

template class FlagWord<std::uint32_t>;
template class FlagWord<std::uint8_t>;

const std::array<std::string_view, 32>& StructureFlags::Labels() {
  static constexpr std::array<std::string_view, 32> kLabels{
      "BaseTile",
      "Open",
      "Openable",
      "Hidden",
      "Mobile",
      "Passable",
      "Explosive",
      "Transparent",
      "Generic",
      "Tree",
      "Fence",
      "Wire Fence",
      "Has item on top",
      "Special",
      "Light Source",
      "Vehicle",
      "Wall",
      "Wall and Window",
      "Sliding door",
      "Door",
      "MultiStructure",
      "Cave Wall",
      "D Door left",
      "D Door Right",
      "Normal Roof",
      "Slanted roof",
      "Tall roof",
      "Switch",
      "Structure on left wall",
      "Structure on right wall",
      "Corpse",
      "Person",
  };
  return kLabels;
}

std::optional<std::size_t> StructureFlags::BitOf(std::string_view label) {
  const auto& labels = Labels();
  for (std::size_t bit = 0; bit < labels.size(); ++bit) {
    if (labels[bit] == label) return bit;
  }
  return std::nullopt;
}

std::string_view TileFlags::Label(std::size_t bit) {
  static constexpr std::array<std::string_view, kLabelledBits> kLabels{"Tile on roof",
                                                                       "Tile passable"};
  return kLabels.at(bit);
}

}  // namespace brx
