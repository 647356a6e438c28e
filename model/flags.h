// Bit access to the two flag words: the 32-bit StructureFlags of a structure
// header and the 8-bit TileFlags of a tile. Every bit position is checked, so
// a wrong position is a caller's error, never a silent write elsewhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brx {

template <typename Word>
class FlagWord {
 public:
  static constexpr std::size_t kBits = sizeof(Word) * 8;

  constexpr FlagWord() = default;
  constexpr explicit FlagWord(Word word) : word_(word) {}

  Word word() const { return word_; }
  bool Test(std::size_t bit) const { return (word_ >> CheckedBit(bit)) & 1u; }
  void Set(std::size_t bit, bool on) {
    const Word mask = static_cast<Word>(Word{1} << CheckedBit(bit));
    word_ = static_cast<Word>(on ? (word_ | mask) : (word_ & ~mask));
  }

 private:
  static std::size_t CheckedBit(std::size_t bit);
  Word word_ = 0;
};

// Bit i is the structure pane's checkbox 1022 + i; every bit has a label.
class StructureFlags : public FlagWord<std::uint32_t> {
 public:
  using FlagWord::FlagWord;
  static const std::array<std::string_view, 32>& Labels();
  static std::string_view Label(std::size_t bit) { return Labels().at(bit); }
  // The bit whose label is exactly `label`, if any.
  static std::optional<std::size_t> BitOf(std::string_view label);
};

// Bit 0 "Tile on roof", bit 1 "Tile passable"; bits 2 to 7 have no meaning
// of ours and pass through untouched.
class TileFlags : public FlagWord<std::uint8_t> {
 public:
  using FlagWord::FlagWord;
  static constexpr std::size_t kOnRoof = 0;
  static constexpr std::size_t kPassable = 1;
  static constexpr std::size_t kLabelledBits = 2;
  static std::string_view Label(std::size_t bit);
};

}  // namespace brx
