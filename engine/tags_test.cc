#include "engine/tags.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/markers.h"
#include "platform/code_page.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

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
  EXPECT_EQ(a.text, u"a" + MarkerText(MarkerCode(2, 1)) + u"b" + MarkerText(MarkerCode(1, 2)));
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
  EXPECT_EQ(a.text, MarkerText(MarkerCode(2, 1)) + MarkerText(MarkerCode(2, 2)));
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
  EXPECT_EQ(a.text.substr(a.text.size() - 6), MarkerText(MarkerCode(2, 4095)) + u"end");
}

// A heading tag numbers 1 to 4095; other tags vanish and leave their text. A
// tag never crosses a line end: a "<" that no ">" closes on its line stays a
// letter with everything after it; one marked as a letter always does.
TEST(TagTest, WhatIsATagAndWhatItLeaves) {
  const std::u16string mark(1, kLetterMark);
  const std::u16string nested(10000, u'<');
  struct Case {
    std::u16string text;
    std::u16string analysed;
    int count;
  };
  const Case cases[] = {
      {u"<p1>x< p 3 ><p4095><p+7><p 00000000004><p-000000000000009>",
       MarkerText(0x5001) + u"x" + MarkerText(0x5003) + MarkerText(0x5FFF) + MarkerText(0x5007) +
           MarkerText(0x5004),
       5},
      {u"a<p0>b<p>c<pre>d<p-1>e<p4096>f<P1>g<p 1x>h<p99999999999>i", u"abcdefghi", 0},
      {u"<b>bold</b> and <i>", u"bold and ", 0},
      {u"kept<p1> kept <p2 and all of this",
       u"kept" + MarkerText(0x5001) + u" kept <p2 and all of this", 1},
      {u"<never closed", u"<never closed", 0},
      {u"a <b\n<p2>c", u"a <b\n" + MarkerText(0x5002) + u"c", 1},
      {u"a <b\r\nc> d", u"a <b\r\nc> d", 0},
      {u"x << y <\nz", u"x << y <\nz", 0},
      {u"<<---\r\r\n<p3>Next\r\r\n", u"<<---\r\r\n" + MarkerText(0x5003) + u"Next\r\r\n", 1},
      {mark + u"<p1>" + mark + u"<<b>", u"<p1><", 0},
      {u"<p1>" + mark + u"<<p2>" + mark + u"<x>",
       MarkerText(0x5001) + u"<" + MarkerText(0x5002) + u"<x>", 2},
      {u"end" + mark, u"end", 0},
      // An opening inside a tag starts it afresh; a closing outside one is a letter.
      {u"a<b<p1>c", u"a" + MarkerText(0x5001) + u"c", 1},
      {u"x" + nested + u"p2>y", u"x" + MarkerText(0x5002) + u"y", 1},
      {u"x" + nested, u"x" + nested, 0},
      {u"a > b <p1>> c", u"a > b " + MarkerText(0x5001) + u"> c", 1},
  };
  for (const Case& c : cases) {
    const Analysed a = Analyse(c.text);
    const std::string shown = ::testing::PrintToString(c.text.substr(0, 80));
    EXPECT_EQ(a.text, c.analysed) << shown;
    EXPECT_EQ(a.count, c.count) << shown;
  }
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
  std::u16string text =
      MarkerText(0x5001) + u"0123456789" + MarkerText(0x2001) + MarkerText(0x5103) + u"z";
  std::vector<int32_t> headings;
  ExtractHeadings(text, headings);
  EXPECT_EQ(text, u"0123456789" + MarkerText(0x2001) + u"z");
  EXPECT_EQ(headings, (std::vector<int32_t>{1, 13 * 256 + 3}));
}

TEST(ExtractHeadingsTest, OnlyWholeHeadingMarkersCount) {
  std::u16string text = std::u16string({0x5001, 2, 1, 0x5002}) + u"x" + MarkerText(0x4001);
  const std::u16string before = text;
  std::vector<int32_t> headings;
  ExtractHeadings(text, headings);
  EXPECT_EQ(text, before);
  EXPECT_TRUE(headings.empty());
}

// Letter-by-letter forms of the three steps, written as plainly as possible,
// for random texts to be checked against. Tags here are headings only.
namespace plain {

std::u16string Trim(std::u16string s) {
  while (!s.empty() && s.back() < 33) s.pop_back();
  while (!s.empty() && s.front() < 33) s.erase(0, 1);
  return s;
}

// Digits only (the alphabet has no signs); 0 when the content is no heading.
int HeadingNumber(const std::u16string& content) {
  const std::u16string tag = Trim(content);
  if (tag.empty() || tag[0] != u'p') return 0;
  std::u16string digits = Trim(tag.substr(1));
  while (digits.size() > 1 && digits[0] == u'0') digits.erase(0, 1);
  if (digits.empty() || digits.size() > 9) return 0;
  int n = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return 0;
    n = n * 10 + (c - u'0');
  }
  return n;
}

// A tag that meets a line end, or the text's end, before its ">" leaves
// every letter from its first "<" in the text.
std::u16string AnalyseHeadingTags(std::u16string_view text) {
  std::u16string out;
  bool in_tag = false;
  bool marked = false;
  std::u16string content;
  std::u16string letters;  // since the first "<" of the open tag
  for (char16_t c : text) {
    if (marked) {
      out += c;
      marked = false;
    } else if (c == kLetterMark && !in_tag) {
      marked = true;
    } else if (c == u'<') {
      content.clear();
      letters += c;
      in_tag = true;
    } else if (in_tag && (c == u'\r' || c == u'\n')) {
      out += letters + c;
      letters.clear();
      in_tag = false;
    } else if (c == u'>' && in_tag) {
      in_tag = false;
      letters.clear();
      if (int n = plain::HeadingNumber(content); n >= 1 && n <= 4095)
        out += MarkerText(MarkerCode(kHeadingKind, n));
    } else if (in_tag) {
      content += c;
      letters += c;
    } else {
      out += c;
    }
  }
  return out + letters;
}

std::u16string Format(std::u16string_view text) {
  std::u16string blanks;
  for (char16_t c : text) {
    if (c != u' ' || blanks.empty() || blanks.back() != u' ') blanks += c;
  }
  std::u16string joined;
  for (size_t i = 0; i < blanks.size(); ++i) {
    if (blanks[i] == u'-' && i + 1 < blanks.size() && blanks[i + 1] == u'\n') {
      ++i;
    } else {
      joined += blanks[i];
    }
  }
  std::u16string lines;
  for (size_t i = 0; i < joined.size(); ++i) {
    if (i >= 2 && joined[i - 2] == u'\r' && joined[i - 1] == u'\n') {
      lines.back() = joined[i];
      if (joined[i] != u' ') lines[lines.size() - 2] = u' ';
    } else {
      lines += joined[i];
    }
  }
  return lines;
}

std::u16string ExtractHeadings(std::u16string_view text, std::vector<int32_t>& headings) {
  std::u16string out;
  for (size_t j = 0; j < text.size(); ++j) {
    if (j >= 2 && IsMarkerAt(text, j - 2) && IsHeadingCode(text[j - 1])) {
      out.resize(out.size() - 2);
      headings.push_back(static_cast<int32_t>(out.size() * 256 + (text[j - 1] & 255)));
    } else {
      out += text[j];
    }
  }
  return out;
}

}  // namespace plain

TEST(TextStepsTest, AgreeWithLetterByLetterFormsOnRandomTexts) {
  const std::u16string alphabet = std::u16string(u"<<>>p1 - \n\r\n\ra") + char16_t(1) +
                                  char16_t(2) + char16_t(0x5007) + kLetterMark;
  std::mt19937 random(5);
  for (int round = 0; round < 20000; ++round) {
    std::u16string text(random() % 40, u' ');
    for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
    SCOPED_TRACE(::testing::PrintToString(text));

    std::u16string analysed = text;
    std::vector<std::string> pictures;
    AnalyseTags(analysed, pictures);
    ASSERT_EQ(analysed, plain::AnalyseHeadingTags(text));
    ASSERT_EQ(FormatText(text), plain::Format(text));
    std::u16string extracted = text;
    std::vector<int32_t> headings;
    std::vector<int32_t> expected_headings;
    ExtractHeadings(extracted, headings);
    ASSERT_EQ(extracted, plain::ExtractHeadings(text, expected_headings));
    ASSERT_EQ(headings, expected_headings);
  }
}

// A relative picture path not found from the current folder is looked for
// beside the source text; paths found nowhere are named once each.
TEST(PictureLookupTest, RelativePathsAreFoundBesideTheSource) {
  ScratchFolder current;
  ScratchFolder source;
  current.Write("here.png", "png");
  const std::string beside = source.Write("pictures/beside.png", "png").string();
  source.Write("here.png", "png");
  const struct {
    std::string tag_path;
    std::vector<std::string> pictures;
    std::vector<std::string> missing;
  } cases[] = {
      {"here.png", {"here.png"}, {}},  // the current folder comes first
      {"pictures/beside.png", {beside}, {}},
      {"absent.png", {}, {"absent.png"}},
      {(current / "pictures/beside.png").string(),
       {},
       {(current / "pictures/beside.png").string()}},
      {"notes.txt", {}, {}},  // not a picture: vanishes unnamed
  };
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(current.path());
  for (const auto& c : cases) {
    PictureLookup lookup{.source_folder = source.path().string(), .missing = {}};
    std::vector<std::string> pictures;
    std::u16string text = u"<img " + Wide(c.tag_path) + u"> and <img " + Wide(c.tag_path) + u">";
    AnalyseTags(text, pictures, &lookup);
    std::vector<std::string> twice = c.pictures;
    twice.insert(twice.end(), c.pictures.begin(), c.pictures.end());
    EXPECT_EQ(pictures, twice) << c.tag_path;
    EXPECT_EQ(lookup.missing, c.missing) << c.tag_path;
  }
  std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace velkaro
