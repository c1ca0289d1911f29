#include "engine/text_parts.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/markers.h"
#include "engine/text_source.h"
#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

using PartList = std::vector<std::pair<size_t, size_t>>;

// The parts ForEachPart hands out, as [start, end) pairs, each checked to
// follow the one before and to show its own letters.
PartList Parts(std::u16string_view text, int32_t part_size) {
  PartList parts;
  ForEachPart(text, part_size, [&](const TextPart& part) {
    EXPECT_EQ(part.number, static_cast<int>(parts.size()) + 1);
    EXPECT_EQ(part.start, parts.empty() ? 0 : parts.back().second);
    EXPECT_EQ(part.text, text.substr(part.start, part.end - part.start));
    parts.emplace_back(part.start, part.end);
  });
  return parts;
}

// A part ends after the highest cut character of its window, else at the
// window's end; six or fewer letters left make no part, and the last part
// takes the rest however long.
TEST(TextPartsTest, PartsOfATextAndWhereTheyEnd) {
  const struct {
    std::u16string text;
    int32_t part_size;
    PartList parts;
  } cases[] = {
      {u"No cut here", 11, {{0, 11}}},
      {u"", 10, {}},
      // Windows 10..1 and 19..10 (counting from 1) find "!" at 9 and "?" at 16.
      {u"One. Two! Three? Four. ", 10, {{0, 9}, {9, 16}, {16, 23}}},
      {u"Hi. Go! ", 4, {{0, 3}}},
      {u"ab.cdefgh", 3, {{0, 3}}},
      {u"ab.cdefghi", 3, {{0, 3}, {3, 6}}},
      {u"abcdefghijklmnopqrstuvw", 8, {{0, 8}, {8, 16}, {16, 23}}},
      {u"a.b.cdefghijklmnop", 6, {{0, 4}, {4, 10}, {10, 18}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Parts(c.text, c.part_size), c.parts) << ::testing::PrintToString(c.text);
  }
}

TEST(TextPartsTest, EveryPartKnowsTheMostPartsTheTextCanMake) {
  for (const auto& [text, part_size, count] : std::vector<std::tuple<std::u16string, int, int>>{
           {u"Hi. Go! ", 4, 2}, {u"abcdefgh", 4, 2}, {u"abcdefghi", 4, 3}, {u"a", 90000, 1}}) {
    ForEachPart(text, part_size, [&](const TextPart& part) { EXPECT_EQ(part.count, count); });
  }
}

TEST(TextPartsTest, APartEndsAfterALineEndOrASentenceMark) {
  // The window is letters 1..5; a part ends after the highest mark in it.
  const std::vector<std::pair<std::u16string, size_t>> cases = {
      {u"a.bcdefgh", 2},
      {u"a!bcdefgh", 2},
      {u"a?bcdefgh", 2},
      {u"ab\ncdefgh", 3},
      {u"a.\n\ncdefgh", 4},
      {u"\u5929\u3002\u5730\u7384\u9EC4\u5B87", 2},
      {u"\u5929\uFF01\u5730\u7384\u9EC4\u5B87", 2},
      {u"\u5929\uFF1F\u5730\u7384\u9EC4\u5B87", 2},
      {u"\u5929\uFF0E\u5730\u7384\u9EC4\u5B87", 2},
      // Never inside a number or after "#": the window's end instead.
      {u"a1bcdefgh", 5},
      {u"a0bcdefgh", 5},
      {u"a#bcdefgh", 5},
      {u"a.b16 cdefgh", 2},
      {std::u16string(u"ab") + char16_t(0xD800) + u"cdefgh", 5},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(FindPartEnd(cases[i].first, 0, 5, false), cases[i].second) << "case " << i;
  }
}

TEST(TextPartsTest, NoKjvPartEndsInANumber) {
  VELKARO_REQUIRE_CORPUS();
  const std::u16string text = LoadPlainText(
      (testing::CorpusFolder() / "texts" / "en_kjv_bible.utf8.txt").string(), nullptr);
  for (int32_t part_size : {1000, 60000, 90000}) {
    const PartList parts = Parts(text, part_size);
    ASSERT_GT(parts.size(), 40u);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      const char16_t last = text[parts[i].second - 1];
      ASSERT_TRUE(last == u'\n' || last == u'.' || last == u'!' || last == u'?')
          << part_size << ": part " << i + 1;
    }
  }
}

TEST(TextPartsTest, APartNeverEndsInsideAPictureMarker) {
  const std::u16string marker = MarkerText(0x2001);
  const std::u16string text = u"abcd" + marker + u"efghijklmnop";
  // The window's end would fall after the marker's first or second letter.
  EXPECT_EQ(FindPartEnd(text, 0, 5, false), 4u);
  EXPECT_EQ(FindPartEnd(text, 0, 6, false), 4u);
  EXPECT_EQ(FindPartEnd(text, 0, 7, false), 7u);
  // Moving before a marker at the part's start would leave nothing: the
  // marker stays whole in the part, though longer than the part size.
  EXPECT_EQ(FindPartEnd(marker + u"abcdefghij", 0, 1, false), 3u);
  EXPECT_EQ(FindPartEnd(u"ab" + marker + u"cdefghij", 2, 2, false), 5u);
  EXPECT_EQ(Parts(u"abcd" + marker + marker + u"efghijkl", 5), (PartList{{0, 4}, {4, 7}, {7, 12}}));
}

// A marker's three letters are left out of the table as if they were not
// there; letters 1 and 2 that make no marker count like any other.
TEST(LetterTableTest, PictureMarkersAreLeftOut) {
  const std::u16string marker = MarkerText(0x2001);
  const struct {
    std::u16string part;
    std::u16string table;
  } cases[] = {
      {marker + u"a" + MarkerText(0x1002) + MarkerText(0x3003) + u"b", u"ab"},
      {marker + marker + u"bba", u"ba"},
      {u"x" + marker + u"x" + marker + u"y", u"xy"},
      {std::u16string({1, u'x', u'y', 2}), std::u16string({1, 2, u'x', u'y'})},
      {u"\x01\x01" + marker + u"\x02", std::u16string({1, 2})},
      {marker, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildLetterTableWithoutMarkers(c.part), c.table);
  }
  // The counts start at zero again after a table without markers.
  EXPECT_EQ(BuildLetterTable(u"ab" + marker), std::u16string({1, 2, u'a', u'b', 0x2001}));
}

TEST(LetterTableTest, MostFrequentFirstLowerCodeOnTies) {
  EXPECT_EQ(BuildLetterTable(u"abracadabra"), u"abrcd");
  EXPECT_EQ(BuildLetterTable(u""), u"");
  EXPECT_EQ(BuildLetterTable(u"\n \n  z"), u" \nz");
}

// The table picks, again and again, the code with the largest count, the
// lowest code winning a tie, and zeroes it.
std::u16string TableByRepeatedPicks(std::u16string_view text) {
  std::vector<uint64_t> counts(65536, 0);
  for (char16_t c : text) ++counts[c];
  std::u16string table;
  for (;;) {
    size_t best = 0;
    for (size_t code = 1; code < counts.size(); ++code) {
      if (counts[code] > counts[best]) best = code;
    }
    if (counts[best] == 0) return table;
    table += static_cast<char16_t>(best);
    counts[best] = 0;
  }
}

TEST(LetterTableTest, MatchesPickingTheLargestCountEachTime) {
  std::mt19937 random(3);
  std::u16string text;
  for (int i = 0; i < 20000; ++i) {
    // Few distinct counts, so most letters tie with others across the range.
    const char16_t code = static_cast<char16_t>((random() % 400) * 163);
    text.append(1 + random() % 3, code);
  }
  text += std::u16string({0, 0xFFFF});
  EXPECT_EQ(BuildLetterTable(text), TableByRepeatedPicks(text));
}

TEST(LetterTableTest, TwentyThousandDistinctLetters) {
  std::u16string text;
  for (char16_t c = 0x4E00; c < 0x4E00 + 20000; ++c) text += c;
  text += u"\u4E01\u4E01";
  const std::u16string table = BuildLetterTable(text);
  ASSERT_EQ(table.size(), 20000u);
  EXPECT_EQ(table[0], 0x4E01);
  EXPECT_EQ(table[1], 0x4E00);
  EXPECT_EQ(table.back(), 0x4E00 + 19999);
}

TEST(WriteTextPartTest, LettersAreStoredHighByteFirst) {
  ScratchFolder folder;
  WriteTextPart(u"Hi", folder / "book0.dat", 0);
  EXPECT_EQ(testing::ReadBytes(folder / "book0.dat"), std::string("\0H\0i", 4));
}

TEST(WriteTextPartTest, ThePasswordMasksEveryLetterWithItsLow16Bits) {
  ScratchFolder folder;
  const std::u16string letters = u"Hi\u4E2D\uFFFF";
  WriteTextPart(letters, folder / "book0.dat", 0x7F12A55A);
  const std::string bytes = testing::ReadBytes(folder / "book0.dat");
  ASSERT_EQ(bytes.size(), 8u);
  for (size_t i = 0; i < letters.size(); ++i) {
    const int stored = static_cast<unsigned char>(bytes[2 * i]) << 8 |
                       static_cast<unsigned char>(bytes[2 * i + 1]);
    EXPECT_EQ(stored ^ 0xA55A, letters[i]) << i;
  }
}

TEST(WriteTextPartTest, ReplacesAnOlderFileAndReportsFailures) {
  ScratchFolder folder;
  folder.Write("book0.dat", std::string(100, 'x'));
  WriteTextPart(std::u16string(4096, u'a'), folder / "book0.dat", 0);
  EXPECT_EQ(testing::ReadBytes(folder / "book0.dat").size(), 8192u);
  EXPECT_THROW(WriteTextPart(u"a", folder / "missing" / "book0.dat", 0), Error);
}

}  // namespace
}  // namespace velkaro
