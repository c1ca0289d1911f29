#include "engine/tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

std::u16string Marker(char16_t code) { return std::u16string({1, code, 2}); }
std::u16string Wide(const std::string& s) { return AnsiToWide(s); }

struct Analysed {
  std::u16string text;
  std::vector<std::string> pictures;
  int count = 0;
};

Analysed Analyse(std::u16string text) {
  Analysed result;
  result.count = AnalyseTags(text, result.pictures);
  result.text = text;
  return result;
}

class PictureTagTest : public ::testing::Test {
 protected:
  ScratchFolder folder_;
  std::string png_ = folder_.Write("pictures/chapter1.png", "png").string();
  std::string jpg_ = folder_.Write("pictures/SHOT.JPG", "jpg").string();
};

TEST_F(PictureTagTest, APresentPictureBecomesAMarkerWithItsType) {
  Analysed a = Analyse(u"a<img " + Wide(png_) + u">b<  img " + Wide(jpg_) + u"  >");
  EXPECT_EQ(a.count, 2);
  EXPECT_EQ(a.text, u"a" + Marker(1 + 2 * 4096) + u"b" + Marker(2 + 1 * 4096));
  EXPECT_EQ(a.pictures, (std::vector<std::string>{png_, jpg_}));
}

TEST_F(PictureTagTest, MissingFilesOtherEndingsAndCapitalsVanish) {
  const std::string text_file = folder_.Write("notes.txt", "x").string();
  Analysed a = Analyse(u"a<img " + Wide((folder_ / "absent.png").string()) + u">b<img " +
                       Wide(text_file) + u">c<IMG " + Wide(png_) + u">d<img " +
                       Wide(folder_.path().string()) + u"/pictures>e");
  EXPECT_EQ(a.count, 0);
  EXPECT_EQ(a.text, u"abcde");
  EXPECT_TRUE(a.pictures.empty());
}

TEST_F(PictureTagTest, EachTagIsAPictureOfItsOwn) {
  Analysed a = Analyse(u"<img " + Wide(png_) + u"><img " + Wide(png_) + u">");
  EXPECT_EQ(a.text, Marker(1 + 8192) + Marker(2 + 8192));
  EXPECT_EQ(a.pictures.size(), 2u);
}

TEST_F(PictureTagTest, PicturesBeyondTheLastNumberVanish) {
  std::u16string tag = u"<img " + Wide(png_) + u">";
  std::u16string text;
  for (int i = 0; i < 4096; ++i) text += tag;
  Analysed a = Analyse(text + u"end");
  EXPECT_EQ(a.count, 4095);
  EXPECT_EQ(a.pictures.size(), 4095u);
  EXPECT_EQ(a.text.size(), 4095u * 3 + 3);
  EXPECT_EQ(a.text.substr(a.text.size() - 6), Marker(4095 + 8192) + u"end");
}

TEST(HeadingTagTest, ANumberFromOneTo4095MakesAMarker) {
  Analysed a = Analyse(u"<p1>x< p 3 ><p4095><p+7>");
  EXPECT_EQ(a.count, 4);
  EXPECT_EQ(a.text, Marker(0x5001) + u"x" + Marker(0x5003) + Marker(0x5FFF) + Marker(0x5007));
}

TEST(HeadingTagTest, NumbersThatDoNotReadOrDoNotFitVanish) {
  Analysed a = Analyse(u"a<p0>b<p>c<pre>d<p-1>e<p4096>f<P1>g<p 1x>h<p99999999999>i");
  EXPECT_EQ(a.count, 0);
  EXPECT_EQ(a.text, u"abcdefghi");
}

TEST(TagTest, OtherTagsVanishAndTheirTextStays) {
  EXPECT_EQ(Analyse(u"<b>bold</b> and <i>").text, u"bold and ");
}

TEST(TagTest, AnUnclosedTagTakesTheRestOfTheBook) {
  Analysed a = Analyse(u"kept<p1> kept <p2 and all of this");
  EXPECT_EQ(a.text, u"kept" + Marker(0x5001) + u" kept ");
  EXPECT_EQ(a.count, 1);
  EXPECT_EQ(Analyse(u"<never closed").text, u"");
}

TEST(TagTest, AnOpeningInsideATagStartsItAfresh) {
  EXPECT_EQ(Analyse(u"a<b<p1>c").text, u"a" + Marker(0x5001) + u"c");
  std::u16string nested(10000, u'<');
  EXPECT_EQ(Analyse(u"x" + nested + u"p2>y").text, u"x" + Marker(0x5002) + u"y");
  EXPECT_EQ(Analyse(u"x" + nested).text, u"x");
}

TEST(TagTest, AClosingOutsideATagIsAnOrdinaryLetter) {
  EXPECT_EQ(Analyse(u"a > b <p1>> c").text, u"a > b " + Marker(0x5001) + u"> c");
}

TEST(FormatTextTest, ShrinksRunsOfBlanks) {
  EXPECT_EQ(FormatText(u"  two     words  "), u" two words ");
}

TEST(FormatTextTest, JoinsWordsHyphenatedAtALineEnd) {
  EXPECT_EQ(FormatText(u"hy-\nphen"), u"hyphen");
  EXPECT_EQ(FormatText(u"a--\nb -x\n"), u"a-b -x\n");
}

TEST(FormatTextTest, JoinsCarriageReturnLineBreaks) {
  EXPECT_EQ(FormatText(u"one\r\ntwo"), u"one two");
  EXPECT_EQ(FormatText(u"one\r\n two"), u"one\r two");
  EXPECT_EQ(FormatText(u"one\r\n\r\nx"), u"one  x");
  EXPECT_EQ(FormatText(u"end\r\n"), u"end\r\n");
  EXPECT_EQ(FormatText(u"plain\nlines\n"), u"plain\nlines\n");
}

TEST(FormatTextTest, PassesRunInOrder) {
  // Blanks shrink before the line-end pair is looked at.
  EXPECT_EQ(FormatText(u"a\r\n   b"), u"a\r b");
  EXPECT_EQ(FormatText(u"hy-\r\nphen"), u"hy- phen");
}

TEST(ExtractHeadingsTest, HeadingsLeaveTheTextWithTheirPositions) {
  std::u16string text = Marker(0x5001) + u"0123456789" + Marker(0x2001) + Marker(0x5103) + u"z";
  std::vector<int32_t> headings;
  ExtractHeadings(text, headings);
  EXPECT_EQ(text, u"0123456789" + Marker(0x2001) + u"z");
  EXPECT_EQ(headings, (std::vector<int32_t>{1, 13 * 256 + 3}));
}

TEST(ExtractHeadingsTest, OnlyWholeHeadingMarkersCount) {
  std::u16string text = std::u16string({0x5001, 2, 1, 0x5002}) + u"x" + Marker(0x4001);
  const std::u16string before = text;
  std::vector<int32_t> headings;
  ExtractHeadings(text, headings);
  EXPECT_EQ(text, before);
  EXPECT_TRUE(headings.empty());
}

TEST(TextStepsTest, TagsThenFormatThenHeadings) {
  std::u16string text = u"<p2>Chapter     one\nA hy-\nphen <b>word</b>.";
  std::vector<std::string> pictures;
  std::vector<int32_t> headings;
  EXPECT_EQ(AnalyseTags(text, pictures), 1);
  text = FormatText(text);
  ExtractHeadings(text, headings);
  EXPECT_EQ(text, u"Chapter one\nA hyphen word.");
  EXPECT_EQ(headings, std::vector<int32_t>{2});
}

}  // namespace
}  // namespace velkaro
