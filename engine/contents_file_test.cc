#include "engine/contents_file.h"

#include <gtest/gtest.h>

#include "engine/markers.h"

namespace velkaro {
namespace {

int32_t Heading(size_t position, int level) { return static_cast<int32_t>(position << 8 | level); }

TEST(ContentsFileTest, TitlesAreTheFirstLineCutAtAWordWithinThirtyLetters) {
  const std::u16string picture = MarkerText(0x2001);
  struct Case {
    std::u16string text;
    std::u16string title;
  } cases[] = {
      {u"Chapter One\nText", u"Chapter One"},
      {u"A title that runs on for more than thirty letters", u"A title that runs on for more"},
      {u"A title that runs on for morethan thirty letters", u"A title that runs on for"},
      {u"Thirtyletterswithoutanyblankatall", u"Thirtyletterswithoutanyblankat"},
      {u"Heading\r Paragraph after it\r", u"Heading"},
      {u"Heading\r\nNext line", u"Heading"},
      {u"\r\nAfter a line end", u"After a line end"},
      {picture + u"Pictured\n", u"Pictured"},
      {u"Tab\tand bell\a gone\n", u"Taband bell gone"},
      {u"\nAfter a line feed\nnot this", u"After a line feed"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    std::vector<ContentsEntry> contents = BookContents(c.text, {Heading(0, 1)}, {c.text.size()});
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_EQ(contents[0].title, c.title);
    EXPECT_EQ(contents[0].part, 1);
  }
}

TEST(ContentsFileTest, EachHeadingNamesThePartThatHoldsIt) {
  // Three parts of twelve letters.
  const std::u16string text = u"Alpha first\nBeta second\nGamma third\n";
  std::vector<ContentsEntry> contents = BookContents(
      text, {Heading(0, 1), Heading(11, 2), Heading(12, 2), Heading(30, 3), Heading(36, 1)},
      {12, 24, 36});
  struct Expected {
    int part;
    std::u16string title;
  } expected[] = {
      {1, u"Alpha first"}, {1, u"Beta second"}, {2, u"Beta second"}, {3, u"third"}, {3, u""}};
  ASSERT_EQ(contents.size(), std::size(expected));
  for (size_t i = 0; i < contents.size(); ++i) {
    EXPECT_EQ(contents[i].part, expected[i].part) << i;
    EXPECT_EQ(contents[i].title, expected[i].title) << i;
  }
}

TEST(ContentsFileTest, FileHoldsPartOffsetNameAndEntries) {
  std::string bytes = ContentsFile({{1, u"Ab"}, {3, u""}}, 2, 0x010203, u"Gull");
  const char expected[] = {0, 0, 0, 2, 0, 1,   2, 3,                    // part, offset
                           0, 0, 0, 4, 0, 'G', 0, 'u', 0, 'l', 0, 'l',  // book name
                           0, 0, 0, 2,                                  // entries
                           0, 0, 0, 1, 0, 0,   0, 2,   0, 'A', 0, 'b',  // part 1, "Ab"
                           0, 0, 0, 3, 0, 0,   0, 0};                   // part 3, ""
  EXPECT_EQ(bytes, std::string(expected, sizeof expected));
}

}  // namespace
}  // namespace velkaro
