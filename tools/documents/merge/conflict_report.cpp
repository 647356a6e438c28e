#include "tools/documents/merge/conflict_report.h"

#include <cstdint>
#include <utility>

#include "tools/documents/document_diff.h"

namespace brx::tool {
namespace {

const char* ChangeName(RecordChange change) {
  switch (change) {
    case RecordChange::kAdded:
      return "added";
    case RecordChange::kRemoved:
      return "removed";
    case RecordChange::kChanged:
      break;
  }
  return "changed";
}

}  // namespace

std::string ConflictText(const Conflict& conflict) {
  const std::string where = RecordPlace(conflict.structure, conflict.tile) + ": ";
  if (!conflict.field.empty()) {
    return where + conflict.field + ": base " + std::to_string(conflict.base) + ", ours " +
           std::to_string(conflict.ours) + ", theirs " + std::to_string(conflict.theirs);
  }
  if (conflict.ours_change == RecordChange::kAdded &&
      conflict.theirs_change == RecordChange::kAdded)
    return where + "added on both sides, differently";
  return where + ChangeName(conflict.ours_change) + " on ours, " +
         ChangeName(conflict.theirs_change) + " on theirs";
}

void WriteConflicts(const std::vector<Conflict>& conflicts, text::JsonWriter& writer) {
  writer.BeginObject();
  writer.Key("conflicts");
  writer.BeginArray();
  for (const Conflict& conflict : conflicts) {
    writer.BeginObject();
    writer.Key("structure");
    writer.Number(static_cast<std::int64_t>(conflict.structure));
    if (conflict.tile) {
      writer.Key("tile");
      writer.Number(static_cast<std::int64_t>(*conflict.tile));
    }
    if (conflict.field.empty()) {
      writer.Key("ours");
      writer.String(ChangeName(conflict.ours_change));
      writer.Key("theirs");
      writer.String(ChangeName(conflict.theirs_change));
    } else {
      writer.Key("field");
      writer.String(conflict.field);
      for (const auto& [key, value] : {std::pair{"base", conflict.base},
                                       {"ours", conflict.ours},
                                       {"theirs", conflict.theirs}}) {
        writer.Key(key);
        writer.Number(value);
      }
    }
    writer.EndObject();
  }
  writer.EndArray();
  writer.EndObject();
  writer.Finish();
}

}  // namespace brx::tool
