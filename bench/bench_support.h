// What the benchmarks share: the document they measure on, and timing
// rounds of work with their median.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "model/structure_set.h"

namespace brx::bench {

// `structures` structures of `tiles_each` tiles, with values that vary from
// structure to structure (Armour, Flags) and from tile to tile (one shape
// byte each), so that no byte pattern repeats for long.
StructureSet MakeDocument(std::size_t structures, std::size_t tiles_each);

// How long `run` takes, in milliseconds.
double Ms(const std::function<void()>& run);

// The middle value: the upper one of the two middle values when the count is even.
double Median(std::vector<double> values);

// The median time of `rounds` runs of `run`, in milliseconds.
double MedianMs(int rounds, const std::function<void()>& run);

}  // namespace brx::bench
