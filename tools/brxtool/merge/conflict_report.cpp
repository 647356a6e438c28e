#include "tools/brxtool/merge/conflict_report.h"

#include "tools/brxtool/document_diff.h"

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

Json ConflictsJson(const std::vector<Conflict>& conflicts) {
  Json list = Json::array();
  for (const Conflict& conflict : conflicts) {
    Json json = Json::object();
    json["structure"] = conflict.structure;
    if (conflict.tile) json["tile"] = *conflict.tile;
    if (conflict.field.empty()) {
      json["ours"] = ChangeName(conflict.ours_change);
      json["theirs"] = ChangeName(conflict.theirs_change);
    } else {
      json["field"] = conflict.field;
      json["base"] = conflict.base;
      json["ours"] = conflict.ours;
      json["theirs"] = conflict.theirs;
    }
    list.push_back(std::move(json));
  }
  Json json = Json::object();
  json["conflicts"] = std::move(list);
  return json;
}

}  // namespace brx::tool
