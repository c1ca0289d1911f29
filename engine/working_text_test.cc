#include "engine/working_text.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "engine/markers.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

TEST(WorkingTextTest, TagsThenFormatThenHeadingsEachWhenAskedFor) {
  const std::u16string source = u"<p2>Chapter     one\nA hy-\nphen <b>word</b>.";
  struct Case {
    bool tags;
    bool format;
    std::u16string text;
    std::vector<int32_t> headings;
    int tag_count;
  };
  for (const Case& c : std::vector<Case>{
           {true, true, u"Chapter one\nA hyphen word.", {2}, 1},
           {true, false, u"Chapter     one\nA hy-\nphen word.", {2}, 1},
           {false, true, u"<p2>Chapter one\nA hyphen <b>word</b>.", {}, 0},
           {false, false, source, {}, 0},
       }) {
    SCOPED_TRACE(::testing::Message() << "tags " << c.tags << ", format " << c.format);
    const WorkingText working = PrepareWorkingText(source, c.tags, c.format);
    EXPECT_EQ(working.text, c.text);
    EXPECT_EQ(working.headings, c.headings);
    EXPECT_EQ(working.tag_count, c.tag_count);
    EXPECT_TRUE(working.pictures.empty());
  }
}

TEST(WorkingTextTest, PictureMarkersStayAndHeadingsCountLettersBeforeThem) {
  testing::ScratchFolder folder;
  const std::string png = folder.Write("a.png", "png").string();
  const std::u16string source = u"ab  <img " + std::u16string(png.begin(), png.end()) + u"> c<p1>d";
  const WorkingText working = PrepareWorkingText(source, true, true);
  EXPECT_EQ(working.text, u"ab " + MarkerText(0x2001) + u" cd");
  EXPECT_EQ(working.pictures, std::vector<std::string>{png});
  EXPECT_EQ(working.headings, std::vector<int32_t>{8 * 256 + 1});
  EXPECT_EQ(working.tag_count, 2);
}

}  // namespace
}  // namespace velkaro
