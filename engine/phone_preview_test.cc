#include "engine/phone_preview.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text_rasterizer.h"

namespace velkaro {
namespace {

const DesktopFont kFont{"DejaVu Sans", 8};

PreviewSettings Settings(int width, int height) {
  PreviewSettings settings;
  settings.width = width;
  settings.height = height;
  settings.font = kFont;
  return settings;
}

int Extent(std::u16string_view text) {
  TextRasterizer rasterizer(kFont.Name, kFont.Size, kFont.Bold, kFont.Italic);
  return rasterizer.TextExtent(text);
}

// Rows [top, top + count) of a screen, clipped to it.
std::vector<uint32_t> Rows(const PreviewScreen& screen, int top, int count) {
  const auto begin = screen.pixels.begin() + static_cast<ptrdiff_t>(top) * screen.width;
  const int rows = std::max(0, std::min(count, screen.height - top));
  return std::vector<uint32_t>(begin, begin + static_cast<ptrdiff_t>(rows) * screen.width);
}

bool AllBack(const std::vector<uint32_t>& pixels, uint32_t back = 0xFFFFFF) {
  return std::all_of(pixels.begin(), pixels.end(), [back](uint32_t p) { return p == back; });
}

struct LayoutCase {
  const char* name;
  std::u16string text;
  std::vector<std::u16string> lines;  // what each line shows, top down; nothing below
  std::u16string fits = u"";          // the screen is 1 + this text's extent wide ("": 240)
  bool wrap = true;
  bool tags = false;
  bool format = false;
  int line_spacing = 0;
  int height = 200;
};

// Each line of the screen must look like its text drawn alone, at the line's
// height, and the screen must be empty below the last line.
TEST(RenderPreviewScreenTest, LaysOutLinesAsThePhoneDoes) {
  const int lh = RenderPreviewScreen(Settings(10, 10), u"").letter_height;
  ASSERT_GT(lh, 0);
  const LayoutCase cases[] = {
      {.name = "empty text", .text = u"", .lines = {}},
      {.name = "the last letter shows", .text = u"abc", .lines = {u"abc"}},
      {.name = "wrap ends the line after the blank after a comma",
       .text = u"Hello, world",
       .lines = {u"Hello, ", u"world"},
       .fits = u"Hello, wo"},
      {.name = "no wrap ends it at the last letter that fits",
       .text = u"Hello, world",
       .lines = {u"Hello, wo", u"rld"},
       .fits = u"Hello, wo",
       .wrap = false},
      {.name = "a blank that does not fit stays at the line's end",
       .text = u"Hello you",
       .lines = {u"Hello ", u"you"},
       .fits = u"Hello"},
      {.name = "a full stop that does not fit goes down with its word",
       .text = u"Hello world.",
       .lines = {u"Hello ", u"world."},
       .fits = u"Hello world"},
      {.name = "a word wider than the screen is cut",
       .text = u"abcdefghij",
       .lines = {u"abcdef", u"ghij"},
       .fits = u"abcdef"},
      {.name = "a letter wider than the screen stands alone",
       .text = u"WA",
       .lines = {u"W", u"A"},
       .fits = u"i"},
      {.name = "line feed ends a line, carriage return is not drawn",
       .text = u"ab\r\ncd",
       .lines = {u"ab", u"cd"}},
      {.name = "a carriage return ends a line", .text = u"ab\rc", .lines = {u"ab", u"c"}},
      {.name = "a carriage return and line feed end one line",
       .text = u"ab\r\n\r\ncd",
       .lines = {u"ab", u"", u"cd"}},
      {.name = "formatted, a document's paragraphs keep their lines",
       .text = u"Para one\r\r\nPara  two\r\r\n",
       .lines = {u"Para one", u" Para two"},
       .format = true},
      {.name = "tight lines",
       .text = u"ab\ncd\nef",
       .lines = {u"ab", u"cd", u"ef"},
       .line_spacing = -1},
      {.name = "loose lines", .text = u"ab\ncd", .lines = {u"ab", u"cd"}, .line_spacing = 1},
      {.name = "lines stop at the bottom",
       .text = u"Wa\nWb\nWc",
       .lines = {u"Wa", u"Wb"},
       .height = 3 * lh},
      {.name = "the first line shows even when it does not fit",
       .text = u"Wa\nWb",
       .lines = {u"Wa"},
       .height = lh - 1},
      {.name = "tags off draw tags", .text = u"<p1>Hi", .lines = {u"<p1>Hi"}},
      {.name = "a tag at a line's start is hidden",
       .text = u"<p1>Hi",
       .lines = {u"Hi"},
       .tags = true},
      {.name = "a < without > is a letter",
       .text = u"a<b\n<cd",
       .lines = {u"a<b", u"<cd"},
       .tags = true},
      {.name = "a marked < is a letter that takes no room for its mark",
       .text = u"\x03<b> x\n\x03<p1>",
       .lines = {u"<b> x", u"<p1>"},
       .fits = u"<b> x",
       .tags = true},
      {.name = "a picture tag inside a line is letters",
       .text = u"x<img a.png>",
       .lines = {u"x<img a.png>"},
       .tags = true},
      {.name = "a picture tag right after a hidden tag is letters",
       .text = u"<p1><img a.png>",
       .lines = {u"<img a.png>"},
       .tags = true},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int width = c.fits.empty() ? 240 : 1 + Extent(c.fits);
    PreviewSettings settings = Settings(width, c.height);
    settings.wrap = c.wrap;
    settings.tags = c.tags;
    settings.format = c.format;
    settings.line_spacing = c.line_spacing;
    const PreviewScreen screen = RenderPreviewScreen(settings, c.text);
    ASSERT_EQ(screen.pixels.size(), static_cast<size_t>(width) * c.height);

    settings.tags = false;
    settings.height = 200;
    int top = 1;
    for (const std::u16string& line : c.lines) {
      const PreviewScreen alone = RenderPreviewScreen(settings, line);
      // A tight line's last row is covered by the next; the bottom clips.
      const int rows = std::min(lh + std::min(c.line_spacing, 0), c.height - top);
      EXPECT_EQ(Rows(screen, top, rows), Rows(alone, 1, rows)) << "line at " << top;
      top += lh + c.line_spacing;
    }
    EXPECT_TRUE(AllBack(Rows(screen, 0, 1)));
    const int below = top - c.line_spacing;  // the last line's cell ends here
    EXPECT_TRUE(AllBack(Rows(screen, below, c.height))) << "something below " << below;
  }
}

TEST(RenderPreviewScreenTest, ArabicLineRunsFromTheRightEdge) {
  const int width = 120;
  const PreviewScreen ltr = RenderPreviewScreen(Settings(width, 40), u"a");
  const PreviewScreen rtl = RenderPreviewScreen(Settings(width, 40), u"a\u0645");
  const int wa = Extent(u"a");
  for (int y = 1; y < 1 + ltr.letter_height; ++y) {
    for (int x = 0; x < wa; ++x) {
      ASSERT_EQ(rtl.pixels[y * width + width - wa + x], ltr.pixels[y * width + 1 + x])
          << x << "," << y;
    }
  }
  EXPECT_TRUE(AllBack(std::vector<uint32_t>(rtl.pixels.begin() + width + 1,
                                            rtl.pixels.begin() + width + width / 2)));
}

TEST(RenderPreviewScreenTest, PictureTagsBecomeNumberedBoxes) {
  PreviewSettings settings = Settings(200, 200);
  settings.tags = true;
  settings.line_spacing = -1;
  const PreviewScreen screen = RenderPreviewScreen(settings, u"<img a.png>x\n<IMG b><p1><img c>");
  const int lh = screen.letter_height;
  const auto at = [&](int x, int y) { return screen.pixels[y * 200 + x]; };
  // A box takes two tight lines; the line below covers its last two rows, and
  // the second box the last row of the x line.
  const int x_line = 1 + 2 * (lh - 1), second_box = x_line + lh - 1;
  const int last_line = second_box + 2 * (lh - 1);
  for (int top : {1, second_box}) {
    SCOPED_TRACE(top);
    EXPECT_EQ(at(50, top), 0x000000u);
    EXPECT_EQ(at(149, top + 2 * lh - 1), 0x000000u);
    EXPECT_EQ(at(52, top + 2), 0xFFFF00u);
    EXPECT_EQ(at(147, top + 2 * lh - 3), 0xFFFF00u);
    EXPECT_EQ(at(49, top), 0xFFFFFFu);
    EXPECT_EQ(at(150, top), 0xFFFFFFu);
  }
  EXPECT_NE(Rows(screen, 1, 2 * lh), Rows(screen, second_box, 2 * lh)) << "numbered 1 and 2";
  settings.tags = false;
  const std::pair<int, std::u16string> lines[] = {{x_line, u"x"}, {last_line, u"<img c>"}};
  for (const auto& [top, text] : lines) {
    const PreviewScreen alone = RenderPreviewScreen(settings, text);
    EXPECT_EQ(Rows(screen, top + 2, lh - 3), Rows(alone, 3, lh - 3)) << "line at " << top;
  }
  EXPECT_TRUE(AllBack(Rows(screen, last_line + lh, 200)));
}

}  // namespace
}  // namespace velkaro
