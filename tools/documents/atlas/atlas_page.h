// The atlas: one self-contained HTML page that draws structures and their
// tiles, and marks what a file changed against an older one. The page
// carries the records as they lie in the file, in base64, and its script
// (page.js) draws from them only what is in view.
#pragma once

#include <cstddef>
#include <ostream>

#include "model/structure_set.h"
#include "tools/documents/atlas/page_changes.h"
#include "tools/documents/atlas/page_model.h"

namespace brx::tool {

// The most data one page carries: its records in base64 and the changes
// together. The browser holds that text in the document and again in the
// script's strings: a page of 158 MB took Chromium's tab 730 MB and 20 s to
// open on two busy cores, which is as far as a page should go. 160 MiB of
// base64 is 120 MiB of records: 65,535 structures of up to 59 tiles;
// larger files are drawn a range of structures at a time.
inline constexpr std::size_t kMostPageDataBytes = std::size_t{160} << 20;

// The base64 length of the records of structures first to first + count - 1.
std::size_t PageRecordBytes(const StructureSet& set, std::size_t first, std::size_t count);

// How many structures from `first` on have records that fit `most_bytes`
// of base64 (at least one).
std::size_t StructuresThatFit(const StructureSet& set, std::size_t first,
                              std::size_t most_bytes = kMostPageDataBytes);

struct AtlasPage {
  PageFacts facts;                       // facts.first and facts.count pick the structures
  const StructureSet* set = nullptr;     // the whole file's structures
  const PageChanges* changes = nullptr;  // null when nothing is compared
};

void WriteAtlasPage(const AtlasPage& page, std::ostream& out);

}  // namespace brx::tool
