// A structure document as JSON and back. The JSON holds every byte that a
// file in the writer's form holds, except what the writer computes (the file
// header and each structure's NumberOfTiles), so a file survives the trip
// through JSON byte for byte.
#pragma once

#include <string>

#include "model/structure_set.h"
#include "tools/brxtool/json_text.h"

namespace brx::tool {

// {"structures": [...]}, keys in the order of StructureFields and TileFields,
// signed fields as signed numbers, Flags as the labels of the set bits in bit
// order and Shape[r][c] as shape byte 5c + r.
Json DocumentToJson(const StructureSet& set);

// The reverse, strict: an unknown or missing key (StructureNumber and the two
// Reserved keys may be left out and are then 0), a value of the wrong type or
// out of its field's range, an unknown flag label, a shape that is not 5 x 5,
// or more structures or tiles than a file holds. On failure `set` is left
// empty and `error` names the JSON path, e.g.
// "structures[3].Tiles[0].Shape[2][4]: 300 is outside 0..255".
bool DocumentFromJson(const Json& json, StructureSet& set, std::string& error);

// ParseJsonText followed by DocumentFromJson.
bool DocumentFromJsonText(const std::string& text, StructureSet& set, std::string& error);

}  // namespace brx::tool
