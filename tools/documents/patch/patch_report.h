// How apply names its conflicts: one line each for people, in the words of
// `brxtool diff`, and as JSON for tools.
#pragma once

#include <string>

#include "tools/documents/patch/patch_apply.h"
#include "tools/text/json_writer.h"

namespace brx::tool {

// "mod-b.json:14: structure 3: Armour: expected 30, found 40; set to 50",
// "mod-b.json:20: structure 9: not as the patch expected; not removed",
// "mod-b.json:30: structure 120: the file has one already; added as structure 125".
std::string PatchConflictText(const PatchConflict& conflict);

// {"patch": "mod-b.json", "line": 14, "structure": 3, "field": "Armour",
// "expected": 30, "found": 40, "set": 50}; of a record, "change" in place of
// the values: "replaced", "none", "missing", "not removed" or "added
// elsewhere" (with "added as").
void WritePatchConflict(const PatchConflict& conflict, text::JsonWriter& writer);

}  // namespace brx::tool
