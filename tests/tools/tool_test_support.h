// Small helpers shared by the brxtool tests.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
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

StructureSet Parsed(const std::vector<std::uint8_t>& bytes);
std::string Text(const std::vector<std::uint8_t>& bytes);

}  // namespace brx::testing

namespace brx::tool {

// JSON values in the tests come from a library of its own, so that what the
// tests build and compare does not depend on the code they test. Keys keep
// the order they were written in.
using Json = nlohmann::ordered_json;

// The text of a value, in brxtool's layout, written by brxtool's writer.
std::string FormatJson(const Json& json);

// What `brxtool dump --json` prints for the document, as a value.
Json DocumentToJson(const StructureSet& set);

}  // namespace brx::tool
