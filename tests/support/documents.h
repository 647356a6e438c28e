// Documents and file images for tests, built byte by byte from known values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/structure_set.h"

namespace brx::testing {

// A structure header and a tile whose every byte differs, derived from a seed,
// so that a byte in the wrong place shows.
StructureHeader PatternHeader(std::uint8_t seed);
TileRecord PatternTile(std::uint8_t seed);

// A document whose structure i has tile_counts[i] pattern tiles.
StructureSet PatternDocument(const std::vector<std::size_t>& tile_counts);

// The bytes of the document's file as the writer makes them; throws when
// the format cannot hold the document.
std::vector<std::uint8_t> Serialized(const StructureSet& set);

// Bytes as a list, for readable expectations.
std::vector<std::uint8_t> Bytes(std::initializer_list<int> values);

}  // namespace brx::testing
