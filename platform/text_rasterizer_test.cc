#include "platform/text_rasterizer.h"

#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H

#include <filesystem>
#include <memory>
#include <set>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

const char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char kMisc[] = "/usr/share/fonts/X11/misc/";

#define REQUIRE_FONT_FILE(path)                                                \
  do {                                                                         \
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is missing"; \
  } while (0)

int InkCount(const InkBitmap& bitmap) {
  int count = 0;
  for (uint8_t pixel : bitmap.pixels) count += pixel;
  return count;
}

std::string ErrorOf(const std::string& name, int size) {
  try {
    TextRasterizer rasterizer(name, size, false, false);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(TextRasterizerTest, DrawsLettersInTheirCellAtTheTopLeft) {
  REQUIRE_FONT_FILE(kDejaVuSans);
  TextRasterizer rasterizer("DejaVu Sans", 12, false, false);
  EXPECT_EQ(rasterizer.FaceFile(), kDejaVuSans);
  EXPECT_GT(rasterizer.Ascent(), 0);
  EXPECT_LT(rasterizer.Ascent(), rasterizer.CellHeight());

  InkBitmap a = rasterizer.Draw(u"A");
  EXPECT_EQ(a.width, rasterizer.AdvanceWidth(U'A'));
  EXPECT_EQ(a.height, rasterizer.CellHeight());
  EXPECT_GT(InkCount(a), 10);
  // "A" stands on the baseline: ink in the row above it, none below it.
  bool ink_above = false, ink_below = false;
  for (int x = 0; x < a.width; ++x) {
    ink_above |= a.Ink(x, rasterizer.Ascent() - 1);
    for (int y = rasterizer.Ascent(); y < a.height; ++y) ink_below |= a.Ink(x, y);
  }
  EXPECT_TRUE(ink_above);
  EXPECT_FALSE(ink_below);

  InkBitmap pair = rasterizer.Draw(u"AA");
  EXPECT_EQ(pair.width, 2 * a.width);
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) EXPECT_EQ(pair.Ink(x + a.width, y), a.Ink(x, y));
  }
}

TEST(TextRasterizerTest, CombiningMarkHasNoAdvanceAndDrawsOverASpace) {
  REQUIRE_FONT_FILE(kDejaVuSans);
  TextRasterizer rasterizer("DejaVu Sans", 12, false, false);
  EXPECT_EQ(rasterizer.AdvanceWidth(0x0301), 0);
  EXPECT_EQ(rasterizer.TextExtent(u" \u0301"), rasterizer.AdvanceWidth(U' '));
  EXPECT_EQ(InkCount(rasterizer.Draw(u" ")), 0);
  EXPECT_GT(InkCount(rasterizer.Draw(u" \u0301")), 0);
}

TEST(TextRasterizerTest, ControlCharactersTakeWidthButNoInk) {
  REQUIRE_FONT_FILE(kDejaVuSans);
  TextRasterizer rasterizer("DejaVu Sans", 12, false, false);
  InkBitmap line_feed = rasterizer.Draw(u"\n");
  EXPECT_EQ(line_feed.width, rasterizer.AdvanceWidth(U'\n'));
  EXPECT_EQ(InkCount(line_feed), 0);
}

TEST(TextRasterizerTest, MissingFamilyGetsTheSubstituteFontconfigPicks) {
  TextRasterizer rasterizer("MS Sans Serif", 8, false, false);
  EXPECT_FALSE(rasterizer.FaceFile().empty());
  EXPECT_GT(rasterizer.CellHeight(), 0);
  EXPECT_GT(InkCount(rasterizer.Draw(u"A")), 0);
}

TEST(TextRasterizerTest, BoldAndItalicPickTheStyledFaces) {
  REQUIRE_FONT_FILE(kDejaVuSans);
  EXPECT_NE(TextRasterizer("DejaVu Sans", 10, true, false).FaceFile().find("Bold"),
            std::string::npos);
  EXPECT_NE(TextRasterizer("DejaVu Sans", 10, false, true).FaceFile().find("Oblique"),
            std::string::npos);
}

TEST(TextRasterizerTest, FaceWithoutTheStyleIsThickenedAndSlanted) {
  REQUIRE_FONT_FILE(kDejaVuSans);
  TextRasterizer regular(kDejaVuSans, 20, false, false);
  TextRasterizer bold(kDejaVuSans, 20, true, false);
  TextRasterizer italic(kDejaVuSans, 20, false, true);
  EXPECT_GT(InkCount(bold.Draw(u"l")), InkCount(regular.Draw(u"l")));
  // A slanted "l" has its top further right than its foot.
  auto first_ink_column = [](const InkBitmap& bitmap, int y) {
    for (int x = 0; x < bitmap.width; ++x) {
      if (bitmap.Ink(x, y)) return x;
    }
    return -1;
  };
  InkBitmap upright = regular.Draw(u"l");
  InkBitmap slanted = italic.Draw(u"l");
  const int top = regular.Ascent() - 12, foot = regular.Ascent() - 1;
  EXPECT_EQ(first_ink_column(upright, top), first_ink_column(upright, foot));
  EXPECT_GT(first_ink_column(slanted, top), first_ink_column(slanted, foot));
}

TEST(TextRasterizerTest, RefusesSizesAndFilesItCannotUse) {
  EXPECT_EQ(ErrorOf("DejaVu Sans", 0), "font size must be 1 to 240 points, not 0");
  EXPECT_EQ(ErrorOf("DejaVu Sans", 500), "font size must be 1 to 240 points, not 500");
  EXPECT_EQ(ErrorOf("/no/such/font.ttf", 8), "font file /no/such/font.ttf not found");
  testing::ScratchFolder folder;
  const std::string text = folder.Write("notes.ttf", "not a font at all").string();
  EXPECT_EQ(ErrorOf(text, 8), "font file " + text + " is not a font");
  EXPECT_EQ(ErrorOf(folder.path().string() + "/", 8),
            "font file " + folder.path().string() + "/ not found");
}

TEST(TextRasterizerTest, BitmapFontGivenByPathUsesItsStrike) {
  const std::string latin = std::string(kMisc) + "6x13-ISO8859-1.pcf.gz";
  REQUIRE_FONT_FILE(latin);
  TextRasterizer rasterizer(latin, 8, false, false);
  EXPECT_EQ(rasterizer.CellHeight(), 13);
  EXPECT_EQ(rasterizer.AdvanceWidth(U'A'), 6);
  EXPECT_EQ(rasterizer.AdvanceWidth(U'é'), 6);
  EXPECT_GT(InkCount(rasterizer.Draw(u"A")), 0);
}

TEST(TextRasterizerTest, BitmapFontInACodePageIsIndexedThroughIt) {
  const std::string koi8 = std::string(kMisc) + "6x13-KOI8-R.pcf.gz";
  const std::string unicode = std::string(kMisc) + "6x13.pcf.gz";
  REQUIRE_FONT_FILE(koi8);
  REQUIRE_FONT_FILE(unicode);
  TextRasterizer by_code_page(koi8, 10, false, false);
  TextRasterizer by_unicode(unicode, 10, false, false);
  for (std::u16string letter : {u"Ж", u"я", u"A"}) {
    EXPECT_EQ(by_code_page.Draw(letter).pixels, by_unicode.Draw(letter).pixels)
        << static_cast<int>(letter[0]);
  }
}

TEST(TextRasterizerTest, LetterTheFaceLacksComesFromAnotherFace) {
  const std::string latin = std::string(kMisc) + "6x13-ISO8859-1.pcf.gz";
  REQUIRE_FONT_FILE(latin);
  TextRasterizer rasterizer(latin, 10, false, false);
  // A lone surrogate is in no font: it shows the missing-letter glyph.
  const InkBitmap missing = rasterizer.Draw(u"\xD800");
  const InkBitmap zhe = rasterizer.Draw(u"Ж");
  EXPECT_EQ(zhe.height, 13);
  EXPECT_GT(InkCount(zhe), 0);
  EXPECT_NE(zhe.pixels, missing.pixels);
}

// A bitmap font of three letters: a blank, "A" with ink and "Ж" empty.
std::string FontWithAnEmptyLetter() {
  std::string bdf =
      "STARTFONT 2.1\nFONT -velkaro-hollow-medium-r-normal--13-120-75-75-c-60-iso10646-1\n"
      "SIZE 12 75 75\nFONTBOUNDINGBOX 6 13 0 -2\nSTARTPROPERTIES 4\nFONT_ASCENT 11\n"
      "FONT_DESCENT 2\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\n"
      "CHARS 3\n";
  auto letter = [&](const char* name, int code, const std::string& rows) {
    bdf += std::string("STARTCHAR ") + name + "\nENCODING " + std::to_string(code) +
           "\nSWIDTH 500 0\nDWIDTH 6 0\nBBX 6 13 0 -2\nBITMAP\n" + rows + "ENDCHAR\n";
  };
  std::string empty;
  for (int row = 0; row < 13; ++row) empty += "00\n";
  letter("space", 32, empty);
  letter("A", 65, "00\n00\n30\n48\n84\n84\nFC\n84\n84\n84\n00\n00\n00\n");
  letter("Zhe", 0x416, empty);
  return bdf + "ENDFONT\n";
}

// A letter the chosen face has but draws empty comes from the first other
// face with ink for it; a blank stays the face's own.
TEST(TextRasterizerTest, EmptyGlyphOfALetterGivesWayToAFaceWithInk) {
  REQUIRE_FONT_FILE(kDejaVuSans);
  testing::ScratchFolder folder;
  const std::string font = folder.Write("hollow.bdf", FontWithAnEmptyLetter()).string();
  TextRasterizer rasterizer(font, 9, false, false);
  struct Case {
    char16_t letter;
    int ink;  // pixels, -1: some
    int advance;
  };
  const Case cases[] = {{u'A', 20, 6}, {u' ', 0, 6}, {u'Ж', -1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.letter));
    EXPECT_TRUE(rasterizer.HasGlyph(c.letter));
    const int ink = InkCount(rasterizer.Draw(std::u16string(1, c.letter)));
    if (c.ink >= 0) {
      EXPECT_EQ(ink, c.ink);
    }
    if (c.ink < 0) {
      EXPECT_GT(ink, 0);
    }
    if (c.advance >= 0) {
      EXPECT_EQ(rasterizer.AdvanceWidth(c.letter), c.advance);
    }
  }
}

// A combining mark's ink alone: as many columns as hold ink, none blank at
// either side, and the same rows as drawn over a space.
TEST(TextRasterizerTest, MarkInkIsCutToItsColumns) {
  REQUIRE_FONT_FILE(kDejaVuSans);
  TextRasterizer rasterizer("DejaVu Sans", 12, false, false);
  for (char32_t mark : {U'\u0301', U'\u064E', U'\u0651'}) {
    SCOPED_TRACE(static_cast<int>(mark));
    const InkBitmap ink = rasterizer.DrawInk(mark);
    ASSERT_GT(ink.width, 0);
    EXPECT_EQ(ink.height, rasterizer.CellHeight());
    for (int x : {0, ink.width - 1}) {
      bool any = false;
      for (int y = 0; y < ink.height; ++y) any |= ink.Ink(x, y);
      EXPECT_TRUE(any) << "column " << x;
    }
  }
  const InkBitmap over_space = rasterizer.Draw(u" \u0301");
  const InkBitmap alone = rasterizer.DrawInk(U'\u0301');
  EXPECT_EQ(InkCount(over_space), InkCount(alone));
  EXPECT_EQ(rasterizer.DrawInk(U' ').width, 0);
}

// The face's own grey rendering of letters, unhinted: where the strokes are.
class GreyReference {
 public:
  GreyReference(const std::string& file, int pixels_per_em) {
    FT_Init_FreeType(&library_);
    if (FT_New_Face(library_, file.c_str(), 0, &face_) == 0) {
      FT_Set_Pixel_Sizes(face_, 0, pixels_per_em);
    }
  }
  ~GreyReference() {
    if (face_) FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }

  // The pixels (x, y) of the letter's cell, baseline at `ascent`, that a
  // stroke covers at least half.
  std::vector<std::pair<int, int>> StrokePixels(char32_t letter, int ascent) const {
    std::vector<std::pair<int, int>> pixels;
    if (FT_Load_Char(face_, letter, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER)) {
      ADD_FAILURE() << "no grey rendering of " << static_cast<int>(letter);
      return pixels;
    }
    const FT_GlyphSlot slot = face_->glyph;
    for (unsigned row = 0; row < slot->bitmap.rows; ++row) {
      for (unsigned column = 0; column < slot->bitmap.width; ++column) {
        if (slot->bitmap.buffer[row * slot->bitmap.pitch + column] < 128) continue;
        pixels.emplace_back(slot->bitmap_left + static_cast<int>(column),
                            ascent - slot->bitmap_top + static_cast<int>(row));
      }
    }
    return pixels;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

bool InkWithinOnePixel(const InkBitmap& bitmap, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int at_x = x + dx, at_y = y + dy;
      if (at_x >= 0 && at_y >= 0 && at_x < bitmap.width && at_y < bitmap.height &&
          bitmap.Ink(at_x, at_y)) {
        return true;
      }
    }
  }
  return false;
}

// Thin strokes of CJK letters survive the one-bit rendering: every pixel of
// a stroke in the grey rendering keeps ink beside it (日 stays 日, not 口).
TEST(TextRasterizerTest, EveryStrokeOfACjkLetterKeepsInk) {
  VELKARO_REQUIRE_CORPUS();
  const char kZenHei[] = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";
  REQUIRE_FONT_FILE(kZenHei);
  std::set<char16_t> letters;
  for (const char* book : {"zh_tang300.utf8.txt", "ja_tosa_nikki.utf8.txt"}) {
    const std::u16string text =
        WideFrom(ReadFileBytes(testing::CorpusFolder() / "texts" / book), "UTF-8");
    for (char16_t letter : text) {
      if (letter > u' ') letters.insert(letter);
    }
  }
  ASSERT_GT(letters.size(), 2500u);
  for (int points : {8, 9, 10, 12}) {
    TextRasterizer rasterizer("WenQuanYi Zen Hei", points, false, false);
    ASSERT_EQ(rasterizer.FaceFile(), kZenHei);
    const GreyReference grey(kZenHei, (points * 96 + 36) / 72);
    int broken = 0;
    for (char16_t letter : letters) {
      const InkBitmap drawn = rasterizer.Draw(std::u16string(1, letter));
      for (const auto& [x, y] : grey.StrokePixels(letter, rasterizer.Ascent())) {
        if (InkWithinOnePixel(drawn, x, y)) continue;
        if (++broken <= 5)
          ADD_FAILURE() << points << " pt: a stroke of U+" << std::hex << int(letter);
        break;
      }
    }
    EXPECT_EQ(broken, 0) << points << " pt";
  }
}

// A letter the chosen face draws empty (WenQuanYi's iteration marks) comes
// from an installed face that has ink for it: no letter of the two CJK books
// but the ideographic space is blank.
TEST(TextRasterizerTest, EveryLetterOfTheCjkBooksHasInk) {
  VELKARO_REQUIRE_CORPUS();
  REQUIRE_FONT_FILE("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc");
  TextRasterizer rasterizer("WenQuanYi Zen Hei", 9, false, false);
  std::set<char16_t> blank;
  for (const char* book : {"zh_tang300.utf8.txt", "ja_tosa_nikki.utf8.txt"}) {
    const std::u16string text =
        WideFrom(ReadFileBytes(testing::CorpusFolder() / "texts" / book), "UTF-8");
    for (char16_t letter : std::set<char16_t>(text.begin(), text.end())) {
      if (letter <= u' ' || letter == u'\u3000') continue;
      const InkBitmap drawn = rasterizer.Draw(std::u16string(1, letter));
      if (std::find(drawn.pixels.begin(), drawn.pixels.end(), 1) == drawn.pixels.end()) {
        blank.insert(letter);
      }
    }
  }
  EXPECT_TRUE(blank.empty()) << blank.size() << " blank letters, the first U+" << std::hex
                             << (blank.empty() ? 0 : int(*blank.begin()));
}

}  // namespace
}  // namespace velkaro
