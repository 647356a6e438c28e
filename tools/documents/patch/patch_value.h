// What a patch's path names, as a value in the document's own terms, and
// the reading of a patch's JSON value into one: numbers against their
// field's range, labels against the flag names, records through the
// document's own JSON reading.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/structure_set.h"
#include "tools/documents/patch/patch_path.h"
#include "tools/documents/patch/patch_reader.h"
#include "tools/text/json_reader.h"

namespace brx::tool {

struct PatchValue {
  PatchNode node = PatchNode::kDocument;
  // A field's or a cell's value; a label's bit.
  std::int64_t number = 0;
  // kFlags: the labels' bits, in the list's order; kShapeRow: the row's values.
  std::vector<std::uint8_t> items;
  // kDocument and kStructures; kStructure: the one.
  std::vector<StructureEntry> structures;
  // kTiles; kTile: the one.
  std::vector<TileRecord> tiles;
  // kShape: row by row.
  std::array<std::uint8_t, TileRecord::kShapeCells> cells{};
};

// The kind of value that stands at a node: a field, a shape cell and a
// shape row's element are all numbers.
enum class PatchValueKind {
  kDocument,
  kStructures,
  kStructure,
  kNumber,
  kFlags,
  kLabel,
  kTiles,
  kTile,
  kShape,
  kShapeRow
};
PatchValueKind KindOf(PatchNode node);

// "a number", "a structure", "a list of flag labels", ...
std::string DescribeKind(PatchValueKind kind);

// Reads `json` as the value `path` takes. The mistakes go into `problems`,
// with paths within the value.
bool ReadPatchValue(const RecordedJson& json, const PatchPath& path, PatchValue& value,
                    std::vector<text::JsonProblem>& problems);

// Reads the integer `text`, which stands at `at`, as the number field or
// cell `path` names takes it.
bool ReadPatchNumber(std::string_view text, const text::TextPosition& at, const PatchPath& path,
                     PatchValue& value, std::vector<text::JsonProblem>& problems);

// As RFC 6902's test compares them, but for Flags, which are compared as
// sets of labels.
bool SameValue(const PatchValue& a, const PatchValue& b);

// Flags as a bit set, and back (in bit order).
std::uint32_t FlagWordOf(const std::vector<std::uint8_t>& labels);
std::vector<std::uint8_t> LabelsOf(std::uint32_t word);

}  // namespace brx::tool
