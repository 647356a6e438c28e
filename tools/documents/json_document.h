// A structure document as JSON and back, both as they go: the JSON is
// written while the document is walked and read into the document while the
// text is read, so that neither the whole text nor a tree of it is ever
// held. The JSON holds every byte that a file in the writer's form holds,
// except what the writer computes (the file header and each structure's
// NumberOfTiles), so a file survives the trip through JSON byte for byte.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/structure_set.h"
#include "tools/text/json_reader.h"
#include "tools/text/json_writer.h"

namespace brx::tool {

// {"structures": [...]}, keys in the order of fields::kStructureFields and
// kTileFields, signed fields as signed numbers, Flags as the labels of the set
// bits in bit order and Shape[r][c] as shape byte 5c + r. Ends with Finish.
void WriteDocumentJson(const StructureSet& set, text::JsonWriter& writer);

// One structure, or one tile, as WriteDocumentJson writes it within a document.
void WriteStructureJson(const StructureEntry& entry, text::JsonWriter& writer);
void WriteTileJson(const TileRecord& tile, text::JsonWriter& writer);

// At most this many mistakes are shown of one text; reading stops soon after.
constexpr std::size_t kMostProblemsShown = 50;

// The reverse, strict. The mistakes found go into `problems`, in the order
// of the text: a syntax error (which ends the reading and then stands alone
// with the keys given twice), a key given twice, an unknown key (with a
// suggestion when one is close) or a missing one (StructureNumber and the two
// Reserved keys may be left out and are then 0), a value of the wrong type or
// out of its field's range, an unknown flag label or one given twice, a shape
// that is not 5 x 5, more structures or tiles than a file holds. Once more
// than kMostProblemsShown are found, the document is read no further than
// the end of the structure it is in, and the text only checked to its end;
// `problems` then holds kMostProblemsShown + 1 of them: the last says that
// more follow. The text is read to its end, so that `text` can tell of an
// encoding problem or a read error anywhere in it, which outweighs all of
// these. On failure `set` is left empty.
bool ReadDocumentJson(text::TextDecoder& text, StructureSet& set,
                      std::vector<text::JsonProblem>& problems);

// The parts of a document a JSON value can stand for: the document, its
// list of structures, a structure, a structure's Flags or Tiles, a tile, a
// tile's Shape and one row of it.
enum class DocumentPart {
  kDocument,
  kStructures,
  kStructure,
  kFlags,
  kTiles,
  kTile,
  kShape,
  kShapeRow
};

// Reads one part of a document, with the checks ReadDocumentJson makes within
// a whole one: `feed` hands the part's JSON values to the handler it is given.
// The part lands where it would stand first in a document: structures in
// `set`, Flags or Tiles in its first structure, a tile, a shape or a shape
// row (as row 0) in that structure's first tile. The problems' paths start
// at the part. On failure `set` is left empty.
bool ReadDocumentPart(DocumentPart part, const std::function<void(text::JsonHandler&)>& feed,
                      StructureSet& set, std::vector<text::JsonProblem>& problems);

// The same from UTF-8 text in memory; an encoding problem is then one
// problem at the start of the text.
bool DocumentFromJsonText(std::string_view text, StructureSet& set,
                          std::vector<text::JsonProblem>& problems);

}  // namespace brx::tool
