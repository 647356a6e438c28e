#include "tools/documents/patch/patch_writer.h"

#include <cstdint>
#include <string>

#include "model/fields.h"
#include "model/flags.h"
#include "tools/documents/json_document.h"

namespace brx::tool {
namespace {

PatchPath PathOf(const Difference& difference) {
  PatchPath path;
  path.structure = *difference.structure;
  path.tile = difference.tile.value_or(0);
  if (difference.field.empty()) {
    path.node = difference.tile ? PatchNode::kTile : PatchNode::kStructure;
  } else if (!difference.tile) {
    path.field = FindField(fields::kStructureFields, difference.field);
    path.node = path.field->role == FieldRole::kFlags ? PatchNode::kFlags : PatchNode::kHeaderField;
  } else if (const auto byte = ShapeByteOfName(difference.field)) {
    path.node = PatchNode::kShapeCell;
    const TileRecord::ShapeCell cell = TileRecord::ShapeCellOfByte(*byte);
    path.row = cell.row;
    path.index = cell.column;
  } else {
    path.node = PatchNode::kTileField;
    path.field = FindField(fields::kTileFields, difference.field);
  }
  return path;
}

void WriteLabels(std::uint32_t word, text::JsonWriter& writer) {
  const StructureFlags flags(word);
  writer.BeginRow();
  for (std::size_t bit = 0; bit < StructureFlags::kBits; ++bit) {
    if (flags.Test(bit)) writer.String(StructureFlags::Label(bit));
  }
  writer.EndArray();
}

void WriteRecord(const StructureSet& set, const Difference& difference, text::JsonWriter& writer) {
  const StructureEntry& entry = set.Entry(*difference.structure);
  if (difference.tile) {
    WriteTileJson(entry.tiles[*difference.tile], writer);
  } else {
    WriteStructureJson(entry, writer);
  }
}

}  // namespace

PatchWriter::PatchWriter(const StructureSet& base, const StructureSet& mod,
                         text::JsonWriter& writer)
    : base_(base), mod_(mod), writer_(writer) {
  writer_.BeginArray();
}

void PatchWriter::Begin(const char* op, const std::string& pointer) {
  writer_.BeginObjectRow();
  writer_.Key("op");
  writer_.String(op);
  writer_.Key("path");
  writer_.String(pointer);
}

void PatchWriter::Write(const Difference& difference) {
  if (difference.kind == Difference::Kind::kRemoved) {
    // Tiles are removed structure by structure.
    if (!removed_.empty() &&
        (removed_.back().tile.has_value() != difference.tile.has_value() ||
         (difference.tile && removed_.back().structure != difference.structure)))
      FlushRemoved();
    removed_.push_back(difference);
    return;
  }
  FlushRemoved();
  const PatchPath path = PathOf(difference);
  const std::string pointer = PatchPointer(path);
  if (difference.kind == Difference::Kind::kAdded) {
    Begin("add", pointer);
    writer_.Key("value");
    WriteRecord(mod_, difference, writer_);
    writer_.EndObject();
    return;
  }
  const std::size_t i = path.structure;
  for (const char* op : {"test", "replace"}) {
    const bool before = op[0] == 't';
    Begin(op, pointer);
    writer_.Key("value");
    if (path.node == PatchNode::kFlags) {
      WriteLabels((before ? base_ : mod_).Header(i).Flags(), writer_);
    } else {
      writer_.NumberText((before ? difference.from : difference.to).text);
    }
    writer_.EndObject();
  }
}

void PatchWriter::FlushRemoved() {
  for (auto record = removed_.rbegin(); record != removed_.rend(); ++record) {
    const std::string pointer = PatchPointer(PathOf(*record));
    Begin("test", pointer);
    writer_.Key("value");
    WriteRecord(base_, *record, writer_);
    writer_.EndObject();
    Begin("remove", pointer);
    writer_.EndObject();
  }
  removed_.clear();
}

void PatchWriter::Finish() {
  FlushRemoved();
  writer_.EndArray();
  writer_.Finish();
}

}  // namespace brx::tool
