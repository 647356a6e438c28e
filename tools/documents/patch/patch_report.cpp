#include "tools/documents/patch/patch_report.h"

#include <cstdint>
#include <optional>

#include "model/flags.h"
#include "tools/documents/document_diff.h"

namespace brx::tool {
namespace {

using Kind = PatchConflict::Kind;

std::string Place(const PatchPath& path) {
  if (path.node < PatchNode::kStructure) return "the structures";
  return RecordPlace(path.structure,
                     IsInTile(path.node) ? std::optional<std::size_t>(path.tile) : std::nullopt);
}

std::string Shown(const PatchValue& value) {
  if (value.node == PatchNode::kLabel)
    return std::string(StructureFlags::Label(static_cast<std::size_t>(value.number)));
  if (value.node != PatchNode::kFlags) return std::to_string(value.number);
  std::string text;
  for (const std::uint8_t bit : value.items)
    text += (text.empty() ? "" : ", ") + std::string(StructureFlags::Label(bit));
  return "[" + text + "]";
}

void WriteValue(const PatchValue& value, text::JsonWriter& writer) {
  if (value.node == PatchNode::kLabel) {
    writer.String(StructureFlags::Label(static_cast<std::size_t>(value.number)));
  } else if (value.node == PatchNode::kFlags) {
    writer.BeginRow();
    for (const std::uint8_t bit : value.items) writer.String(StructureFlags::Label(bit));
    writer.EndArray();
  } else {
    writer.Number(value.number);
  }
}

const char* Change(const PatchConflict& conflict) {
  switch (conflict.kind) {
    case Kind::kRecord:
      return conflict.set ? "replaced" : "none";
    case Kind::kMissing:
      return "missing";
    case Kind::kNotRemoved:
      return "not removed";
    case Kind::kAddedElsewhere:
      return "added elsewhere";
    case Kind::kValue:
      break;
  }
  return "";
}

}  // namespace

std::string PatchConflictText(const PatchConflict& conflict) {
  std::string text =
      conflict.patch + ":" + std::to_string(conflict.line) + ": " + Place(conflict.path);
  const std::string field = PatchFieldName(conflict.path);
  if (!field.empty()) text += ": " + field;
  switch (conflict.kind) {
    case Kind::kValue:
      text += ": expected " + Shown(conflict.expected) + ", found " + Shown(conflict.found);
      if (conflict.set) text += "; set to " + Shown(*conflict.set);
      return text;
    case Kind::kRecord:
      return text + ": not as the patch expected" + (conflict.set ? "; replaced" : "");
    case Kind::kMissing:
      return text + ": not in the file";
    case Kind::kNotRemoved:
      return text + ": not as the patch expected; not removed";
    case Kind::kAddedElsewhere:
      break;
  }
  return text + ": the file has one already; added as " +
         (conflict.path.node == PatchNode::kTile ? "tile " : "structure ") +
         std::to_string(conflict.added_as);
}

void WritePatchConflict(const PatchConflict& conflict, text::JsonWriter& writer) {
  const PatchPath& path = conflict.path;
  writer.BeginObject();
  writer.Key("patch");
  writer.String(conflict.patch);
  writer.Key("line");
  writer.Number(static_cast<std::int64_t>(conflict.line));
  if (path.node >= PatchNode::kStructure) {
    writer.Key("structure");
    writer.Number(static_cast<std::int64_t>(path.structure));
  }
  if (IsInTile(path.node)) {
    writer.Key("tile");
    writer.Number(static_cast<std::int64_t>(path.tile));
  }
  const std::string field = PatchFieldName(path);
  if (!field.empty()) {
    writer.Key("field");
    writer.String(field);
  }
  if (conflict.kind == Kind::kValue) {
    writer.Key("expected");
    WriteValue(conflict.expected, writer);
    writer.Key("found");
    WriteValue(conflict.found, writer);
    if (conflict.set) {
      writer.Key("set");
      WriteValue(*conflict.set, writer);
    }
  } else {
    writer.Key("change");
    writer.String(Change(conflict));
  }
  if (conflict.kind == Kind::kAddedElsewhere) {
    writer.Key("added as");
    writer.Number(static_cast<std::int64_t>(conflict.added_as));
  }
  writer.EndObject();
}

}  // namespace brx::tool
