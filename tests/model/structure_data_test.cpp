#include "model/structure_data.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/fields.h"
#include "tests/support/documents.h"

namespace brx {
namespace {

using testing::Bytes;
using testing::PatternDocument;

std::vector<std::uint8_t> Serialize(const StructureSet& set) {
  std::vector<std::uint8_t> bytes;
  std::string reason;
  EXPECT_TRUE(SerializeStructureData(set, bytes, reason)) << reason;
  return bytes;
}

bool Parse(const std::vector<std::uint8_t>& bytes, StructureSet& set,
           std::string* reason = nullptr) {
  std::string ignored;
  return ParseStructureData(bytes.data(), bytes.size(), set, reason ? *reason : ignored);
}

TEST(Writer, EmptyDocumentIsTheSixteenByteHeader) {
  EXPECT_EQ(Serialize(StructureSet{}),
            Bytes({0x42, 0x52, 0x58, 0x46, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0}));
}

TEST(Writer, OneNewStructure) {
  StructureSet set;
  set.AppendStructure(StructureEntry{});
  auto expected = Bytes({'B', 'R', 'X', 'F', 1, 0, 1, 0, 16, 0, 2, 0, 0, 0, 0, 0});
  expected.resize(32, 0);
  EXPECT_EQ(Serialize(set), expected);
}

TEST(Writer, OneNewStructureWithOneNewTile) {
  StructureSet set;
  set.AppendStructure(StructureEntry{});
  set.AppendTile(0, TileRecord{});
  auto expected = Bytes({'B', 'R', 'X', 'F', 1, 0, 1, 0, 48, 0, 2, 0, 0, 0, 0, 0});
  expected.resize(64, 0);
  expected[16 + 3] = 1;  // NumberOfTiles
  EXPECT_EQ(Serialize(set), expected);
}

TEST(Writer, PutsPositionAndTileCountIntoTheWrittenCopyOnly) {
  StructureSet set;
  set.AppendStructure(StructureEntry{});
  StructureEntry second;
  second.header.SetStructureNumber(7);
  second.header.SetNumberOfTiles(9);
  fields::kStructureReserved.Put(second.header, 0xAB);
  second.tiles.resize(2);
  set.AppendStructure(second);

  const auto bytes = Serialize(set);
  const std::size_t header = 16 + 16;
  EXPECT_EQ(bytes[header + 8], 1);
  EXPECT_EQ(bytes[header + 9], 0);
  EXPECT_EQ(bytes[header + 3], 2);
  EXPECT_EQ(bytes[header + 15], 0xAB);
  EXPECT_EQ(set.Header(1).StructureNumber(), 7);
  EXPECT_EQ(set.Header(1).NumberOfTiles(), 9);
}

TEST(Writer, DataSizeKeepsItsLowSixteenBits) {
  // 300 structures with 2100 tiles: 16 * 300 + 32 * 2100 = 72000 = 6464 + 65536.
  std::vector<std::size_t> counts(300, 7);
  const auto bytes = Serialize(PatternDocument(counts));
  EXPECT_EQ(bytes[8] | bytes[9] << 8, 6464);
  EXPECT_EQ(bytes.size(), 16u + 16 * 300 + 32 * 2100);
}

TEST(Writer, StructureNumberIsTheLowSixteenBitsOfThePosition) {
  StructureSet set;
  for (int i = 0; i < 300; ++i) set.AppendStructure(StructureEntry{});
  const auto bytes = Serialize(set);
  EXPECT_EQ(bytes[16 + 16 * 299 + 8], 299 & 0xFF);
  EXPECT_EQ(bytes[16 + 16 * 299 + 9], 299 >> 8);
}

TEST(Writer, RefusesWhatTheFormatCannotExpress) {
  StructureSet tiles;
  tiles.AppendStructure(StructureEntry{});
  tiles.AppendStructure(StructureEntry{});
  for (int j = 0; j < 256; ++j) tiles.AppendTile(1, TileRecord{});
  std::vector<std::uint8_t> bytes{1, 2, 3};
  std::string reason;
  EXPECT_FALSE(SerializeStructureData(tiles, bytes, reason));
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(reason, "structure 1 has 256 tiles; a file holds at most 255 per structure");

  StructureSet structures;
  for (std::size_t i = 0; i < kMaxStructures; ++i) structures.AppendStructure(StructureEntry{});
  EXPECT_TRUE(SerializeStructureData(structures, bytes, reason));
  structures.AppendStructure(StructureEntry{});
  EXPECT_FALSE(SerializeStructureData(structures, bytes, reason));
  EXPECT_EQ(reason, "the document has 65536 structures; a file holds at most 65535");
}

// The writer hands a large file over in pieces no larger than the limit,
// which put together are the file, and stops at the first piece refused,
// whether tile blocks or structure headers filled the piece before it.
TEST(Writer, HandsTheFileOverInPiecesAndStopsWhenOneIsRefused) {
  struct Case {
    const char* name;
    std::vector<std::size_t> tiles;
    std::size_t pieces;
  };
  const std::vector<Case> cases{
      {"tile blocks fill the pieces", std::vector<std::size_t>(300, 100), 4},
      {"structure headers fill the pieces", std::vector<std::size_t>(16400, 0), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StructureSet set = PatternDocument(c.tiles);
    const std::vector<std::uint8_t> whole = Serialize(set);
    // The last round refuses nothing.
    for (std::size_t refused = 0; refused <= c.pieces; ++refused) {
      SCOPED_TRACE(refused);
      std::vector<std::uint8_t> joined;
      std::size_t pieces = 0;
      const bool written = WriteStructureData(set, [&](const std::uint8_t* data, std::size_t size) {
        EXPECT_LE(size, kWritePieceSize);
        if (pieces++ == refused) return false;
        joined.insert(joined.end(), data, data + size);
        return true;
      });
      EXPECT_EQ(written, refused == c.pieces);
      EXPECT_EQ(pieces, std::min(refused + 1, c.pieces));
      if (written) {
        EXPECT_EQ(joined, whole);
      } else {
        EXPECT_TRUE(std::equal(joined.begin(), joined.end(), whole.begin()));
      }
    }
  }
}

TEST(Reader, EmptyFileOfStructures) {
  StructureSet set = PatternDocument({1});
  auto bytes = Bytes({'B', 'R', 'X', 'F', 0, 0});
  bytes.resize(16, 0xEE);
  EXPECT_TRUE(Parse(bytes, set));
  EXPECT_EQ(set.StructureCount(), 0u);
}

TEST(Reader, RoundTripIsByteForByte) {
  for (const auto& counts : std::vector<std::vector<std::size_t>>{{}, {0}, {0, 0, 3}, {255, 1}}) {
    const auto bytes = Serialize(PatternDocument(counts));
    StructureSet set;
    ASSERT_TRUE(Parse(bytes, set));
    EXPECT_EQ(Serialize(set), bytes);
    ASSERT_EQ(set.StructureCount(), counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(set.TileCount(i), counts[i]);
  }
}

TEST(Reader, KeepsEveryRecordByteAsRead) {
  auto bytes = Serialize(PatternDocument({2, 0, 1}));
  StructureSet set;
  ASSERT_TRUE(Parse(bytes, set));
  // Headers keep what the file says, StructureNumber and Reserved included.
  const StructureSet expected = PatternDocument({2, 0, 1});
  for (std::size_t i = 0; i < 3; ++i) {
    StructureHeader header = expected.Header(i);
    header.SetStructureNumber(static_cast<std::uint16_t>(i));
    header.SetNumberOfTiles(static_cast<std::uint8_t>(expected.TileCount(i)));
    EXPECT_EQ(set.Header(i), header);
    for (std::size_t j = 0; j < expected.TileCount(i); ++j)
      EXPECT_EQ(set.Tile(i, j), expected.Tile(i, j));
  }
}

TEST(Reader, IgnoresHeaderBytesSixToFifteenAndTrailingBytes) {
  auto bytes = Serialize(PatternDocument({1, 2}));
  StructureSet reference;
  ASSERT_TRUE(Parse(bytes, reference));
  for (std::size_t k = 6; k < 16; ++k) bytes[k] = static_cast<std::uint8_t>(0xA5 ^ k);
  bytes.insert(bytes.end(), {'B', 'R', 'X', 'F', 9, 9});
  StructureSet set;
  EXPECT_TRUE(Parse(bytes, set));
  EXPECT_TRUE(set == reference);
}

TEST(Reader, StructureNumberIsNotCompared) {
  auto bytes = Serialize(PatternDocument({0, 0}));
  bytes[16 + 16 + 8] = 7;
  StructureSet set;
  ASSERT_TRUE(Parse(bytes, set));
  EXPECT_EQ(set.Header(1).StructureNumber(), 7);
}

TEST(Reader, RejectsAWrongMagicInAnyByte) {
  for (std::size_t k = 0; k < 4; ++k) {
    auto bytes = Serialize(PatternDocument({1}));
    bytes[k] = 0;
    StructureSet set = PatternDocument({1});
    std::string reason;
    EXPECT_FALSE(Parse(bytes, set, &reason));
    EXPECT_EQ(set.StructureCount(), 0u);
    EXPECT_EQ(reason, "not a structure data file: it does not start with \"BRXF\"");
  }
}

// What a file cut at `length` holds whole: each structure whose header is
// there, with those of its tiles that are there.
StructureSet WholeRecordsBefore(const StructureSet& set, std::size_t length) {
  StructureSet kept;
  std::size_t offset = 16;
  for (std::size_t i = 0; i < set.StructureCount() && offset + 16 <= length; ++i) {
    StructureEntry entry = set.Entry(i);
    entry.tiles.resize(std::min(entry.tiles.size(), (length - offset - 16) / 32));
    offset += 16 + 32 * set.TileCount(i);
    kept.AppendStructure(entry);
  }
  return kept;
}

// Every length short of the whole file fails, leaves nothing behind and says
// where the data ran out; read up to the damage, it keeps the whole records
// before it.
TEST(Reader, EveryTruncationFails) {
  const auto whole = Serialize(PatternDocument({2, 0, 1}));
  ASSERT_EQ(whole.size(), 16u + 3 * 16 + 3 * 32);
  StructureSet full;
  ASSERT_TRUE(Parse(whole, full));
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const std::vector<std::uint8_t> bytes(whole.begin(), whole.begin() + length);
    StructureSet set = PatternDocument({4});
    std::string reason;
    EXPECT_FALSE(Parse(bytes, set, &reason)) << length;
    EXPECT_EQ(set.StructureCount(), 0u) << length;
    MemoryInputFile source(bytes.data(), bytes.size());
    StructureSet kept = PatternDocument({4});
    std::string damage;
    EXPECT_FALSE(ParseStructureDataUpToDamage(source, kept, damage)) << length;
    EXPECT_EQ(damage, reason);
    EXPECT_TRUE(kept == WholeRecordsBefore(full, length)) << length;
    if (length < 16) {
      EXPECT_EQ(reason, "the file is shorter than its 16-byte header (" + std::to_string(length) +
                            (length == 1 ? " byte)" : " bytes)"));
    } else {
      EXPECT_NE(reason.find("the file is truncated: "), std::string::npos) << reason;
      EXPECT_NE(reason.find("ends at offset " + std::to_string(length)), std::string::npos)
          << reason;
    }
  }
}

struct TruncationCase {
  std::size_t length;
  const char* reason;
};

TEST(Reader, TruncationNamesTheRecord) {
  // Layout: header 0-15; structure 0 at 16 with tiles at 32 and 64; structure 1
  // at 96 (no tiles); structure 2 at 112 with its tile at 128; end 160.
  const auto whole = Serialize(PatternDocument({2, 0, 1}));
  const TruncationCase cases[] = {
      {16,
       "the file is truncated: the header of structure 0 needs bytes up to offset 32, but the "
       "data ends at offset 16"},
      {40,
       "the file is truncated: tile 0 of structure 0 needs bytes up to offset 64, but the "
       "data ends at offset 40"},
      {95,
       "the file is truncated: tile 1 of structure 0 needs bytes up to offset 96, but the "
       "data ends at offset 95"},
      {100,
       "the file is truncated: the header of structure 1 needs bytes up to offset 112, but "
       "the data ends at offset 100"},
      {159,
       "the file is truncated: tile 0 of structure 2 needs bytes up to offset 160, but the "
       "data ends at offset 159"},
  };
  for (const auto& c : cases) {
    StructureSet set;
    std::string reason;
    EXPECT_FALSE(ParseStructureData(whole.data(), c.length, set, reason));
    EXPECT_EQ(reason, c.reason);
  }
}

TEST(Reader, AHugeCountInATinyFileFailsWithoutAllocatingForIt) {
  // 65535 structures each announcing 255 tiles, but no record present.
  auto bytes = Bytes({'B', 'R', 'X', 'F',  0xFF, 0xFF, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0,
                      0,   0,   0,   0xFF, 0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  StructureSet set;
  std::string reason;
  EXPECT_FALSE(Parse(bytes, set, &reason));
  EXPECT_EQ(reason,
            "the file is truncated: tile 0 of structure 0 needs bytes up to offset 64, "
            "but the data ends at offset 32");
}

// A source that hands out its bytes in small, uneven pieces and can fail
// after a given number of bytes, as a pipe or a failing disk would.
class TrickleSource : public InputFile {
 public:
  TrickleSource(std::vector<std::uint8_t> bytes, std::size_t fail_at)
      : bytes_(std::move(bytes)), fail_at_(fail_at) {}
  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    if (offset_ >= fail_at_) {
      error = "the device is gone";
      return false;
    }
    got = std::min({size, bytes_.size() - offset_, fail_at_ - offset_, 1 + offset_ % 7});
    std::copy_n(bytes_.begin() + offset_, got, data);
    offset_ += got;
    return true;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t fail_at_;
  std::size_t offset_ = 0;
};

TEST(Reader, ReadsTheSameFromASourceThatTrickles) {
  const auto bytes = Serialize(PatternDocument({255, 0, 3, 1}));
  TrickleSource source(bytes, bytes.size() + 1);
  StructureSet set;
  std::string reason;
  ASSERT_TRUE(ParseStructureData(source, set, reason)) << reason;
  EXPECT_EQ(Serialize(set), bytes);
}

TEST(Reader, AReadErrorIsNotMistakenForTheEnd) {
  const auto bytes = Serialize(PatternDocument({2, 2}));
  for (const std::size_t fail_at : {std::size_t{0}, std::size_t{10}, std::size_t{40}}) {
    TrickleSource source(bytes, fail_at);
    StructureSet set = PatternDocument({1});
    std::string reason;
    EXPECT_FALSE(ParseStructureData(source, set, reason));
    EXPECT_EQ(reason, "cannot read the file: the device is gone");
    EXPECT_EQ(set.StructureCount(), 0u);
  }
  // Read up to the damage: the structure whose tiles failed stays, without them.
  TrickleSource source(bytes, 40);
  StructureSet kept;
  std::string damage;
  EXPECT_FALSE(ParseStructureDataUpToDamage(source, kept, damage));
  EXPECT_EQ(damage, "cannot read the file: the device is gone");
  ASSERT_EQ(kept.StructureCount(), 1u);
  EXPECT_EQ(kept.TileCount(0), 0u);
}

TEST(Reader, FailsWithoutAPlaceForTheReason) {
  StructureSet set = PatternDocument({1});
  EXPECT_FALSE(Parse(Bytes({'B', 'R', 'X'}), set));
  EXPECT_EQ(set.StructureCount(), 0u);
  auto bytes = Serialize(PatternDocument({2}));
  bytes.pop_back();
  EXPECT_FALSE(Parse(bytes, set));
  EXPECT_EQ(set.StructureCount(), 0u);
}

TEST(Reader, StructureWithTheMostTiles) {
  auto bytes = Serialize(PatternDocument({255, 0}));
  StructureSet set;
  ASSERT_TRUE(Parse(bytes, set));
  EXPECT_EQ(set.TileCount(0), 255u);
  EXPECT_EQ(set.TileCount(1), 0u);
}

}  // namespace
}  // namespace brx
