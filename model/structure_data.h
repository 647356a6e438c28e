// The structure data format between bytes in memory and a StructureSet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/file_system.h"
#include "model/structure_set.h"

namespace brx {

constexpr std::size_t kMaxStructures = 0xFFFF;
constexpr std::size_t kMaxTilesPerStructure = 0xFF;

// The longest file whose every byte can matter: the largest count of
// structures, each with the largest count of tiles. Bytes past it are never read.
constexpr std::size_t kMaxMeaningfulFileSize =
    FileHeader::kSize +
    kMaxStructures * (StructureHeader::kSize + kMaxTilesPerStructure * TileRecord::kSize);

// Parses a file read front to back. `set` is cleared first; on failure it is
// left empty and `error` says why. Bytes after the last announced record are
// never read. Memory is taken for records only once their bytes have arrived,
// so no count in the file can make the parser allocate beyond its input.
bool ParseStructureData(InputFile& source, StructureSet& set, std::string& error);
bool ParseStructureData(const std::uint8_t* data, std::size_t size, StructureSet& set,
                        std::string& error);

// The same, but on damage past the file header `set` keeps what was read
// before it: each structure whose header arrived, with those of its tiles
// that arrived whole. For showing what can be shown of a damaged file.
bool ParseStructureDataUpToDamage(InputFile& source, StructureSet& set, std::string& error);

// Whether the format can express the document (its counts of structures and
// of each structure's tiles); `error` says why not.
bool FitsTheFormat(const StructureSet& set, std::string& error);

// The largest piece a sink is handed at once.
constexpr std::size_t kWritePieceSize = 256 * 1024;

// Hands the bytes of the file for a document that fits the format to `sink`:
// the file header computed from the counts, each structure's header with its
// position and tile count put in (the document keeps its own values), every
// other byte as held. False when the sink refused a piece.
bool WriteStructureData(const StructureSet& set, const ByteSink& sink);

// The same bytes in memory. Fails, with `out` empty, when the format cannot
// express the document.
bool SerializeStructureData(const StructureSet& set, std::vector<std::uint8_t>& out,
                            std::string& error);

// The file header the writer puts before a document of these counts.
FileHeader MakeFileHeader(std::size_t structures, std::size_t tiles);

}  // namespace brx
