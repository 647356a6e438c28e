// A JSON Pointer (RFC 6901) into the document as `brxtool dump --json`
// writes it, taken apart into the document's own terms: which structure,
// tile, field, shape row or cell, or which place in a structure's Flags it
// names. Only the pointer's form is checked here; whether the document has
// that structure or tile is the applier's to find out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/fields.h"

namespace brx::tool {

// What a pointer names, from the whole document down to one value.
enum class PatchNode {
  kDocument,     // ""
  kStructures,   // /structures
  kStructure,    // /structures/3
  kHeaderField,  // /structures/3/Armour
  kFlags,        // /structures/3/Flags
  kLabel,        // /structures/3/Flags/1
  kTiles,        // /structures/3/Tiles
  kTile,         // /structures/3/Tiles/1
  kTileField,    // /structures/3/Tiles/1/TileFlags
  kShape,        // /structures/3/Tiles/1/Shape
  kShapeRow,     // /structures/3/Tiles/1/Shape/2
  kShapeCell,    // /structures/3/Tiles/1/Shape/2/3
};

struct PatchPath {
  PatchNode node = PatchNode::kDocument;
  std::size_t structure = 0;
  std::size_t tile = 0;
  std::size_t row = 0;
  // A cell's column, or a label's place in its Flags list.
  std::size_t index = 0;
  // The last step was "-": the place after the end of its list.
  bool end = false;
  // The integer field of a kHeaderField or a kTileField.
  const Field* field = nullptr;

  friend bool operator==(const PatchPath& a, const PatchPath& b);
};

// Takes the pointer apart. On failure `error` names the step that is no part
// of the document, with the name it may mean ("Armor": "Armour").
bool ParsePatchPath(std::string_view pointer, PatchPath& path, std::string& error);

// Takes the pointers of a patch apart one after the other, as ParsePatchPath
// does. A patch names the fields of one record one after another, and a
// test and its change the same field: the steps a pointer shares with the
// one before it (the structure, the tile) are not read again.
class PatchPathReader {
 public:
  bool Read(std::string_view pointer, PatchPath& path, std::string& error);

 private:
  struct Done {
    std::size_t end;  // where the step ends in last_: a '/' or its end
    PatchPath path;   // the path up to and with the step
  };
  std::string last_;         // the last pointer, when it was taken apart whole
  std::vector<Done> steps_;  // its steps
  std::string scratch_;      // a step with escapes, unescaped
};

// The pointer of a path: "/structures/3/Tiles/1/Shape/2/3".
std::string PatchPointer(const PatchPath& path);

// The field as diff names it: "Armour", "Flags", "Flags[1]", "Shape[2][3]",
// "Shape[2]"; empty for a structure, a tile or a list of them.
std::string PatchFieldName(const PatchPath& path);

// True for a tile and what lies within one.
inline bool IsInTile(PatchNode node) {
  return node >= PatchNode::kTile;
}

// True for what is an element of a list of the document: a structure, a
// tile, a Flags label, a shape row or cell.
bool IsListElement(PatchNode node);

}  // namespace brx::tool
