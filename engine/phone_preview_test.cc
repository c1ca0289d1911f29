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
  std::u16string fits;  // the screen is 1 + this text's extent wide ("": 240)
  bool wrap;
  bool tags;
  int line_spacing;
  std::vector<std::u16string> lines;  // what each line shows, top down; nothing below
};

// Each line of the screen must look like its text drawn alone, at the line's
// height, and the screen must be empty below the last line.
TEST(RenderPreviewScreenTest, LaysOutLinesAsThePhoneDoes) {
  const LayoutCase cases[] = {
      {"empty text", u"", u"", true, false, 0, {}},
      {"last letter that fits is shown", u"abc", u"", true, false, 0, {u"abc"}},
      {"wrap ends the line after the blank that follows a comma",
       u"Hello, world",
       u"Hello, wo",
       true,
       false,
       0,
       {u"Hello, ", u"world"}},
      {"without wrap the line ends at the last letter that fits",
       u"Hello, world",
       u"Hello, wo",
       false,
       false,
       0,
       {u"Hello, wo", u"rld"}},
      {"a blank that does not fit stays at the line's end",
       u"Hello you",
       u"Hello",
       true,
       false,
       0,
       {u"Hello ", u"you"}},
      {"a full stop that does not fit goes down with its word",
       u"Hello world.",
       u"Hello world",
       true,
       false,
       0,
       {u"Hello ", u"world."}},
      {"a word wider than the screen is cut",
       u"abcdefghij",
       u"abcdef",
       true,
       false,
       0,
       {u"abcdef", u"ghij"}},
      {"a letter wider than the screen stands alone", u"WA", u"i", true, false, 0, {u"W", u"A"}},
      {"line feed ends a line, carriage return is measured but not drawn",
       u"ab\r\ncd",
       u"",
       true,
       false,
       0,
       {u"ab", u"cd"}},
      {"a carriage return can push a letter down",
       u"ab\rc",
       u"abc",
       false,
       false,
       0,
       {u"ab", u"c"}},
      {"tight lines", u"ab\ncd\nef", u"", true, false, -1, {u"ab", u"cd", u"ef"}},
      {"loose lines", u"ab\ncd", u"", true, false, 1, {u"ab", u"cd"}},
      {"tags off draw tags", u"<p1>Hi", u"", true, false, 0, {u"<p1>Hi"}},
      {"a tag at a line's start is hidden", u"<p1>Hi", u"", true, true, 0, {u"Hi"}},
      {"a < without > is a letter", u"a<b\n<cd", u"", true, true, 0, {u"a<b", u"<cd"}},
      {"a picture tag inside a line is letters",
       u"x<img a.png>",
       u"",
       true,
       true,
       0,
       {u"x<img a.png>"}},
      {"a picture tag right after a hidden tag is letters",
       u"<p1><img a.png>",
       u"",
       true,
       true,
       0,
       {u"<img a.png>"}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int width = c.fits.empty() ? 240 : 1 + Extent(c.fits);
    PreviewSettings settings = Settings(width, 200);
    settings.wrap = c.wrap;
    settings.tags = c.tags;
    settings.line_spacing = c.line_spacing;
    const PreviewScreen screen = RenderPreviewScreen(settings, c.text);
    const int lh = screen.letter_height;
    ASSERT_GT(lh, 0);
    ASSERT_EQ(screen.pixels.size(), static_cast<size_t>(width) * 200);

    settings.tags = false;
    int top = 1;
    for (const std::u16string& line : c.lines) {
      const PreviewScreen alone = RenderPreviewScreen(settings, line);
      const int rows = lh + std::min(c.line_spacing, 0);  // a tight line's last row is covered
      EXPECT_EQ(Rows(screen, top, rows), Rows(alone, 1, rows)) << "line at " << top;
      top += lh + c.line_spacing;
    }
    EXPECT_TRUE(AllBack(Rows(screen, 0, 1)));
    const int below = top - c.line_spacing;  // the last line's cell ends here
    EXPECT_TRUE(AllBack(Rows(screen, below, screen.height))) << "something below " << below;
  }
}

TEST(RenderPreviewScreenTest, StopsAtTheBottomButAlwaysDrawsTheFirstLine) {
  const int lh = RenderPreviewScreen(Settings(100, 100), u"").letter_height;
  // {screen height, lines shown of three}
  const std::pair<int, int> cases[] = {{1 + 2 * lh, 2}, {3 * lh, 2}, {1 + 3 * lh, 3}, {lh - 1, 1}};
  for (const auto& [height, lines] : cases) {
    SCOPED_TRACE(height);
    const PreviewScreen screen = RenderPreviewScreen(Settings(100, height), u"Wa\nWb\nWc");
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(!AllBack(Rows(screen, 1 + k * lh, lh)), k < lines) << "line " << k;
    }
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

TEST(RenderPreviewScreenTest, ColorsAreTurnedIntoScreenOrder) {
  PreviewSettings settings = Settings(40, 30);
  settings.text_color = 0x0000FF;  // red
  settings.back_color = 0xFF0000;  // blue
  const PreviewScreen screen = RenderPreviewScreen(settings, u"H");
  EXPECT_EQ(screen.pixels[0], 0x0000FFu);
  EXPECT_EQ(std::count(screen.pixels.begin(), screen.pixels.end(), 0x0000FFu) +
                std::count(screen.pixels.begin(), screen.pixels.end(), 0xFF0000u),
            static_cast<ptrdiff_t>(screen.pixels.size()));
  EXPECT_GT(std::count(screen.pixels.begin(), screen.pixels.end(), 0xFF0000u), 0);
}

TEST(RenderPreviewScreenTest, FontThatCannotBeOpenedThrows) {
  PreviewSettings settings = Settings(40, 30);
  settings.font.Size = 0;
  EXPECT_ANY_THROW(RenderPreviewScreen(settings, u"a"));
}

}  // namespace
}  // namespace velkaro
