// The parts of the atlas page that the browser test cannot reach: the
// base64 of the records at every split, the page's size limit at its
// boundary, and the changes kept for the structures on the page.
#include <gtest/gtest.h>

#include <sstream>

#include "model/fields.h"
#include "tests/support/documents.h"
#include "tools/documents/atlas/atlas_page.h"
#include "tools/documents/atlas/base64.h"
#include "tools/documents/atlas/page_changes.h"

namespace brx::tool {
namespace {

using testing::PatternDocument;

std::string Encoded(const std::string& bytes, std::size_t split) {
  std::ostringstream out;
  Base64Writer writer(out);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  writer.Add(data, split);
  writer.Add(data + split, bytes.size() - split);
  writer.Finish();
  return out.str();
}

TEST(Atlas, Base64OfEveryLengthAndSplit) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\0\xff\xfe\x80", 4), "AP/+gA=="},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(Base64Length(bytes.size()), text.size()) << text;
    for (std::size_t split = 0; split <= bytes.size(); ++split)
      EXPECT_EQ(Encoded(bytes, split), text) << text << " split at " << split;
  }
  // Byte by byte, past the writer's buffer, and again after Finish.
  std::string bytes(200000, '\0');
  for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<char>(k * 7);
  std::ostringstream out;
  Base64Writer writer(out);
  for (int round = 0; round < 2; ++round) {
    for (char c : bytes) writer.Add(reinterpret_cast<const std::uint8_t*>(&c), 1);
    writer.Finish();
  }
  const std::string once = Encoded(bytes, 0);
  EXPECT_EQ(out.str(), once + once);
}

TEST(Atlas, StructuresThatFitAPage) {
  // Records of 48, 16 and 80 bytes: 64, 88 and 192 characters of base64 in all.
  const StructureSet set = PatternDocument({1, 0, 2});
  EXPECT_EQ(PageRecordBytes(set, 0, 3), 192u);
  EXPECT_EQ(PageRecordBytes(set, 1, 2), 128u);
  EXPECT_EQ(PageRecordBytes(set, 0, 0), 0u);
  const struct {
    std::size_t first;
    std::size_t most_bytes;
    std::size_t fit;
  } cases[] = {
      {0, 64, 1},  {0, 87, 1},  {0, 88, 2},  {0, 191, 2},
      {0, 192, 3}, {1, 128, 2}, {1, 127, 1}, {2, 0, 1},  // one structure always
  };
  for (const auto& c : cases)
    EXPECT_EQ(StructuresThatFit(set, c.first, c.most_bytes), c.fit)
        << c.first << " " << c.most_bytes;
  EXPECT_EQ(StructuresThatFit(set, 0), 3u);
}

LoadedFile Loaded(const StructureSet& set) {
  LoadedFile file;
  file.set = set;
  return file;
}

// Six numbers a difference: kind, structure, tile, field, a, b.
std::vector<std::vector<long long>> Differences(const std::string& numbers) {
  std::vector<std::vector<long long>> all;
  std::istringstream in(numbers);
  std::string number;
  while (std::getline(in, number, ',')) {
    if (all.empty() || all.back().size() == 6) all.emplace_back();
    all.back().push_back(std::stoll(number));
  }
  return all;
}

TEST(Atlas, ChangesOfTheStructuresOnThePage) {
  const StructureSet old_set = PatternDocument({1, 2, 1, 0});
  StructureSet set = PatternDocument({1, 2, 1});
  // Every field of structure 1 and of its tile 1, so that each has a code.
  StructureEntry changed = set.Entry(1);
  for (const Field& field : fields::kStructureFields) {
    if (field.role == FieldRole::kInteger || field.role == FieldRole::kFlags)
      changed.header.bytes[field.offset] ^= 1;
  }
  for (std::uint8_t& byte : changed.tiles[1].bytes) byte ^= 1;
  changed.tiles.push_back(changed.tiles[0]);
  set.SetHeader(1, changed.header);
  set.SetTile(1, 1, changed.tiles[1]);
  set.AppendTile(1, changed.tiles[0]);

  // Structure 1's nine integer fields (not its number, which every save
  // rewrites) + its Flags + tile 1's six integer fields + its shape cells +
  // tile 2 added.
  const std::size_t differences = 9 + 1 + 6 + TileRecord::kShapeCells + 1;
  PageChanges changes;
  ASSERT_TRUE(CollectChanges(Loaded(old_set), Loaded(set), 1, 1, 1 << 20, changes));
  const auto found = Differences(changes.numbers);
  EXPECT_EQ(found.size(), differences);
  for (const auto& difference : found) EXPECT_EQ(difference[1], 1) << changes.numbers;
  EXPECT_EQ(found.back(), (std::vector<long long>{0, 1, 2, -1, 0, 0}));  // tile 2 added
  EXPECT_EQ(changes.changed_structures, 1u);
  EXPECT_EQ(changes.removed_structures, 0u);

  // Structure 3, removed, counts when the page reaches the end of the file.
  ASSERT_TRUE(CollectChanges(Loaded(old_set), Loaded(set), 2, 1, 1 << 20, changes));
  EXPECT_EQ(changes.numbers, "");
  EXPECT_EQ(changes.removed_structures, 1u);
  EXPECT_EQ(changes.changed_structures, 0u);

  // More changes than the page may carry.
  EXPECT_FALSE(CollectChanges(Loaded(old_set), Loaded(set), 0, 3, 20, changes));
}

}  // namespace
}  // namespace brx::tool
