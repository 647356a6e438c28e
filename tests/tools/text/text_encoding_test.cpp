// The decoder on what editors, shells and spreadsheets save, read through
// the cursor, which places a byte that is not UTF-8.
#include "tools/text/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/text/chunked_source.h"
#include "tools/text/byte_source.h"
#include "tools/text/text_cursor.h"

namespace brx::text {
namespace {

TEST(TextEncoding, WhatEditorsAndShellsWriteIsRead) {
  struct Case {
    std::string bytes;
    std::string text;                // the UTF-8 text, when it decodes
    std::vector<std::string> facts;  // what the problem names, when it does not
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {"{\"\xC3\xA9\xF0\x9F\x98\x80\"}", "{\"\xC3\xA9\xF0\x9F\x98\x80\"}", {}},
      // A byte-order mark, as Windows editors write UTF-8, is dropped.
      {"\xEF\xBB\xBF{}", "{}", {}},
      {"", "", {}},
      // UTF-16 with its mark, as Windows PowerShell 5.1 writes; é and a pair of surrogates.
      {"\xFF\xFE{\0\xE9\0=\xD8\0\xDE\xAC\x20\xFD\xFF}\0"s,
       "{\xC3\xA9\xF0\x9F\x98\x80\xE2\x82\xAC\xEF\xBF\xBD}",
       {}},
      {"\xFE\xFF\0{\0\xE9\xD8=\xDE\0\0}"s, "{\xC3\xA9\xF0\x9F\x98\x80}", {}},
      {"\xFF\xFE"s, "", {}},
      {"\xFF\xFE{\0}"s, "", {"UTF-16 LE", "odd"}},
      {"\xFF\xFE{\0\0\xD8"s, "", {"UTF-16 LE", "0xD800", "offset 4"}},
      {"\xFE\xFF\xDC\0\0}"s, "", {"UTF-16 BE", "0xDC00", "offset 2"}},
      {"\xFF\xFE\0\xD8{\0"s, "", {"UTF-16 LE", "0xD800", "offset 2"}},
      {"\xFE\xFF\0{\0"s, "", {"UTF-16 BE", "odd"}},
      // An odd length is told before a surrogate: it says more of the file.
      {"\xFF\xFE\0\xDC{"s, "", {"UTF-16 LE", "odd"}},
      {"\xFF\xFE\0\0{\0\0\0"s, "", {"UTF-32"}},
      {"\0\0\xFE\xFF\0\0\0{"s, "", {"UTF-32"}},
      {"{\0}\0"s, "", {"UTF-16 LE"}},
      {"\0{\0}"s, "", {"UTF-16 BE"}},
      // Not UTF-8: Windows-1252, an overlong form, a surrogate, beyond U+10FFFF, cut short.
      {"{\n  \"\xC3\xA9\xE9\"}", "", {"UTF-8", "0xE9", "line 2", "column 5", "Windows-1252"}},
      // The place counts lines as the readers do: LF, CR LF and CR each end one.
      {"\r\n\r\r\xC3\xA9\xC0\x80", "", {"0xC0", "line 4", "column 2"}},
      {"\xC0\x80", "", {"0xC0", "line 1", "column 1"}},
      {"a\xE0\x9F\xBF", "", {"0xE0", "line 1", "column 2"}},
      {"\xED\xA0\x80", "", {"0xED", "line 1", "column 1"}},
      {"\xF0\x8F\xBF\xBF", "", {"0xF0", "line 1", "column 1"}},
      {"\xF4\x90\x80\x80", "", {"0xF4", "line 1", "column 1"}},
      {"\xF5\x80\x80\x80", "", {"0xF5", "line 1", "column 1"}},
      {"\x80", "", {"0x80", "line 1", "column 1"}},
      {"\xE2\x82", "", {"0xE2", "line 1", "column 1"}},
      {"\xE2\x82x", "", {"0xE2", "line 1", "column 1"}},
      {"\xEF\xBB\xBF\xF4\x8F\xBF\xBF\xEE\x80\x80", "\xF4\x8F\xBF\xBF\xEE\x80\x80", {}},
  };
  for (const Case& c : cases) {
    MemoryByteSource source(c.bytes.data(), c.bytes.size());
    TextDecoder decoder(source);
    ASSERT_TRUE(decoder.Start());
    TextCursor cursor(decoder);
    std::string text;
    for (; !cursor.AtEnd(); cursor.Skip()) text += static_cast<char>(cursor.Peek());
    const std::string& problem = decoder.problem();
    EXPECT_EQ(problem.empty(), c.facts.empty()) << ::testing::PrintToString(c.bytes);
    if (c.facts.empty()) {
      EXPECT_EQ(text, c.text);
    }
    for (const std::string& fact : c.facts)
      EXPECT_NE(problem.find(fact), std::string::npos) << problem << "\nexpected " << fact;
  }
}

// A read that fails, before the first bytes, inside the mark, inside a
// character or later: the decoder stops with the reason and says nothing of
// the encoding, in each of the encodings it reads.
TEST(TextEncoding, AReadThatFailsIsToldAsSuch) {
  using namespace std::string_literals;
  const std::string texts[] = {"{\"\xC3\xA9\xC3\xA9\"}", "\xEF\xBB\xBF{\"\xE2\x82\xAC\"}",
                               "\xFF\xFE{\0\xE9\0=\xD8\0\xDE}\0"s, "\xFE\xFF\0{\0\xE9\0}"s};
  for (const std::string& text : texts) {
    for (std::size_t fails_at = 0; fails_at < text.size(); ++fails_at) {
      testing::ChunkedSource source(text, 3, fails_at);
      TextDecoder decoder(source);
      if (decoder.Start()) {
        TextCursor cursor(decoder);
        while (!cursor.AtEnd()) cursor.Skip();
      }
      const std::string what =
          ::testing::PrintToString(text) + " failing at " + std::to_string(fails_at);
      EXPECT_EQ(decoder.read_error(), testing::ChunkedSource::kError) << what;
      EXPECT_EQ(decoder.problem(), "") << what;
    }
  }
}

}  // namespace
}  // namespace brx::text
