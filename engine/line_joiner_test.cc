#include "engine/line_joiner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/text_source.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

// A wrapped paragraph of lines about 60 letters wide.
const std::u16string kLine = u"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll";

TEST(JoinWrappedLinesTest, JoinsOnlyFullLinesBeforeAPlainLine) {
  struct Case {
    std::u16string text;
    std::u16string joined;
  };
  const std::u16string wrapped = kLine + u"\n" + kLine + u"\n" + kLine + u"\n";
  for (const Case& c : std::vector<Case>{
           {wrapped + u"end.", kLine + u" " + kLine + u" " + kLine + u" end."},
           // An empty or indented line starts a new paragraph.
           {wrapped + u"\n" + kLine, kLine + u" " + kLine + u" " + kLine + u"\n\n" + kLine},
           {wrapped + u"  2 next", kLine + u" " + kLine + u" " + kLine + u"\n  2 next"},
           // A short line ends its paragraph.
           {wrapped + u"short\n" + kLine,
            kLine + u" " + kLine + u" " + kLine + u" short\n" + kLine},
           // A line that ends in a blank needs no second one.
           {kLine + u" \n" + kLine + u"\n" + kLine, kLine + u" " + kLine + u" " + kLine},
           // CJK lines join without a blank.
           {std::u16string(50, u'\u5929') + u"\n" + std::u16string(50, u'\u5730') + u"\n\u5B87",
            std::u16string(50, u'\u5929') + std::u16string(50, u'\u5730') + u"\u5B87"},
           // Lines shorter than a page (verse) are never joined.
           {u"Roses are red, violets are blue\nsugar is sweet\n",
            u"Roses are red, violets are blue\nsugar is sweet\n"},
           {u"", u""},
       }) {
    EXPECT_EQ(JoinWrappedLines(c.text), c.joined) << c.text.size();
  }
}

// A line counts as nearly full from 80 % of the wrap width on: at 76 % it
// ends a paragraph, at 81 % it runs on into the next line.
TEST(JoinWrappedLinesTest, NearlyFullThreshold) {
  const std::u16string full = u"aaaaaaaaa " + std::u16string(90, u'b');  // 100 letters
  const struct {
    size_t length;
    bool joined;
  } cases[] = {{76, false}, {79, false}, {80, true}, {81, true}};
  for (const auto& c : cases) {
    std::u16string text;
    for (int i = 0; i < 19; ++i) text += full + u"\n";
    const std::u16string line = u"cc " + std::u16string(c.length - 3, u'c');
    text += line + u"\nnext line";
    ASSERT_EQ(WrapWidth(text), 100u);
    const std::u16string joined = JoinWrappedLines(text);
    EXPECT_NE(joined.find(line + (c.joined ? u" next" : u"\nnext")), std::u16string::npos)
        << c.length << "%";
  }
}

// What joining may change: only line feeds, into a blank or nothing.
std::u16string WithoutBreaks(std::u16string text) {
  std::erase_if(text, [](char16_t c) { return c == u'\n' || c == u' '; });
  return text;
}

size_t CountOf(std::u16string_view text, std::u16string_view what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::u16string_view::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

TEST(JoinWrappedLinesTest, CorpusBooks) {
  VELKARO_REQUIRE_CORPUS();
  struct Book {
    std::string file;
    size_t width;           // 0: not wrapped, the text stays as it is
    std::u16string joined;  // a passage that spans a wrap in the file
  };
  for (const Book& book : std::vector<Book>{
           {"en_kjv_bible.utf8.txt", 79,
            u"upon the face of the deep. And the Spirit of God moved upon the face of the waters."},
           {"en_moby_dick_ch1.utf8.txt", 107,
            u"no money in my purse, and nothing particular to interest me on shore"},
           {"ar_alkindi_first_philosophy.utf8.txt", 110, u""},
           {"ru_pushkin_evgeny_onegin.utf8.txt", 0, u""},
           {"ru_turgenev_otcy_i_deti.utf8.txt", 0, u""},
           {"zh_tang300.utf8.txt", 0, u""},
           {"ja_tosa_nikki.utf8.txt", 0, u""},
       }) {
    SCOPED_TRACE(book.file);
    const std::u16string text =
        LoadPlainText((testing::CorpusFolder() / "texts" / book.file).string(), nullptr);
    EXPECT_EQ(WrapWidth(text), book.width);
    const std::u16string joined = JoinWrappedLines(text);
    if (book.width == 0) {
      EXPECT_EQ(joined, text);
      continue;
    }
    EXPECT_LT(CountOf(joined, u"\n"), CountOf(text, u"\n") * 2 / 3);
    EXPECT_EQ(WithoutBreaks(joined), WithoutBreaks(text));
    // Paragraph breaks and indented lines (verse numbers) stay.
    EXPECT_EQ(CountOf(joined, u"\n\n"), CountOf(text, u"\n\n"));
    EXPECT_EQ(CountOf(joined, u"\n "), CountOf(text, u"\n "));
    EXPECT_NE(joined.find(book.joined), std::u16string::npos);
  }
}

}  // namespace
}  // namespace velkaro
