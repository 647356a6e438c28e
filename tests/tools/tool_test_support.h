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
StructureSet SampleDocument();
// What `brxtool dump` prints for the sample's file.
std::string SampleListingPath();

// A run of the brxtool command line in-process, with `input` as its
// standard input.
struct ToolRun {
  int code;
  std::string out;
  std::string err;
};
ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = "",
                bool out_is_terminal = false);

void WriteText(const std::string& path, const std::string& text);

std::vector<std::uint8_t> Serialized(const StructureSet& set);
StructureSet Parsed(const std::vector<std::uint8_t>& bytes);
std::string Text(const std::vector<std::uint8_t>& bytes);

}  // namespace brx::testing
