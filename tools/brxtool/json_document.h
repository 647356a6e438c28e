// A structure document as JSON and back. The JSON holds every byte that a
// file in the writer's form holds, except what the writer computes (the file
// header and each structure's NumberOfTiles), so a file survives the trip
// through JSON byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/structure_set.h"
#include "tools/brxtool/json_parser.h"
#include "tools/brxtool/json_text.h"

namespace brx::tool {

// {"structures": [...]}, keys in the order of fields::kStructureFields and kTileFields,
// signed fields as signed numbers, Flags as the labels of the set bits in bit
// order and Shape[r][c] as shape byte 5c + r.
Json DocumentToJson(const StructureSet& set);

// At most this many mistakes are shown of one text; reading stops soon after.
constexpr std::size_t kMostProblemsShown = 50;

// The reverse, strict, from UTF-8 text. Every mistake found goes into
// `problems`, in the order of the text: a syntax error (which ends the
// reading), a key given twice, an unknown key (with a suggestion when one is
// close) or a missing one (StructureNumber and the two Reserved keys may be
// left out and are then 0), a value of the wrong type or out of its field's
// range, an unknown flag label or one given twice, a shape that is not 5 x 5,
// more structures or tiles than a file holds. Once more than
// kMostProblemsShown are found, reading stops at the end of the structure
// it is in. On failure `set` is left empty.
bool DocumentFromJsonText(const std::string& text, StructureSet& set,
                          std::vector<JsonProblem>& problems);

}  // namespace brx::tool
