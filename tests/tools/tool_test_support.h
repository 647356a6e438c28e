// Small helpers shared by the brxtool tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/structure_set.h"

namespace brx::testing {

// The canonical JSON of a small document with extreme values, kept in the
// source tree, and the document it stands for.
std::string SampleJsonPath();
std::string SampleJsonText();

std::vector<std::uint8_t> Serialized(const StructureSet& set);
StructureSet Parsed(const std::vector<std::uint8_t>& bytes);
std::string Text(const std::vector<std::uint8_t>& bytes);

}  // namespace brx::testing
