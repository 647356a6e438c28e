// How a merge names its conflicts: in the words of `brxtool diff` for
// people, and as JSON for tools.
#pragma once

#include <string>
#include <vector>

#include "tools/documents/merge/document_merge.h"
#include "tools/text/json_writer.h"

namespace brx::tool {

// "structure 3: Armour: base 30, ours 40, theirs 50",
// "structure 12: added on both sides, differently",
// "structure 5 tile 2: changed on ours, removed on theirs".
std::string ConflictText(const Conflict& conflict);

// {"conflicts": [{"structure": 3, "field": "Armour", "base": 30, "ours": 40,
// "theirs": 50}, {"structure": 12, "ours": "added", "theirs": "added"}]},
// ended with Finish.
void WriteConflicts(const std::vector<Conflict>& conflicts, text::JsonWriter& writer);

}  // namespace brx::tool
