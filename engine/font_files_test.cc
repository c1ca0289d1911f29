#include "engine/font_files.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/io_error.h"
#include "platform/text_rasterizer.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

const char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

#define REQUIRE_DEJAVU()                                                         \
  do {                                                                           \
    if (!std::filesystem::exists(kDejaVuSans)) GTEST_SKIP() << "no DejaVu Sans"; \
  } while (0)

DesktopFont DejaVu(int size) { return DesktopFont{"DejaVu Sans", size, false, false}; }

// The font files of a folder read one after another, back into words.
std::vector<uint32_t> ReadFontData(const Path& folder) {
  std::vector<uint32_t> words;
  for (int n = 0; std::filesystem::exists(folder / ("font" + std::to_string(n) + ".dat")); ++n) {
    const std::string bytes = testing::ReadBytes(folder / ("font" + std::to_string(n) + ".dat"));
    EXPECT_EQ(bytes.size() % 4, 0u);
    for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
      auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[k])); };
      words.push_back(byte(i) << 24 | byte(i + 1) << 16 | byte(i + 2) << 8 | byte(i + 3));
    }
  }
  return words;
}

struct ParsedFont {
  uint32_t height = 0;
  std::vector<std::u16string> groups;  // letters of each group in file order
  std::map<char16_t, std::vector<uint32_t>> columns;
  std::u16string marks;  // letters whose code word says combining mark
};

// Parses font data, checking that every group count matches its letters.
ParsedFont Parse(const std::vector<uint32_t>& words) {
  ParsedFont font;
  size_t at = 0;
  auto next = [&]() { return at < words.size() ? words[at++] : (ADD_FAILURE(), 0u); };
  font.height = next();
  for (int g = 0; g < 16; ++g) {
    const size_t end = next() + at;
    std::u16string letters;
    while (at < end && at < words.size()) {
      const uint32_t word = next();
      const char16_t code = static_cast<char16_t>(word);
      EXPECT_EQ(word >> 16, word & kCombiningMark ? 1u : 0u) << "code word " << word;
      if (word & kCombiningMark) font.marks += code;
      EXPECT_EQ(code & 15, g);
      std::vector<uint32_t>& columns = font.columns[code];
      for (uint32_t w = next(); w > 0; --w) columns.push_back(next());
      letters += code;
    }
    EXPECT_EQ(at, end) << "group " << g;
    font.groups.push_back(letters);
  }
  EXPECT_EQ(at, words.size());
  return font;
}

// Makes font files for a letter table in a scratch folder and reads them back.
struct Made {
  testing::ScratchFolder folder;
  std::vector<std::string> log;
  std::vector<uint32_t> words;
  ParsedFont font;

  Made(FontFileMaker& maker, std::u16string_view table) {
    maker.CreateFontFiles(table, folder.path(),
                          [&](const std::string& line) { log.push_back(line); });
    words = ReadFontData(folder.path());
    font = Parse(words);
  }
};

// The columns FreeType itself gives for a letter of DejaVu Sans in an H-row
// cell; for a zero-width letter, the columns that hold its ink.
std::vector<uint32_t> FreeTypeColumns(int points, char32_t code, uint32_t* cell_height) {
  FT_Library library;
  FT_Face face;
  EXPECT_EQ(FT_Init_FreeType(&library), 0);
  EXPECT_EQ(FT_New_Face(library, kDejaVuSans, 0, &face), 0);
  FT_Set_Pixel_Sizes(face, 0, (points * 96 + 36) / 72);
  const int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
  const int height = ascent + static_cast<int>((-face->size->metrics.descender + 63) >> 6);
  *cell_height = height;

  auto advance_of = [&](char32_t c) {
    EXPECT_EQ(FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO), 0);
    return static_cast<int>((face->glyph->advance.x + 32) >> 6);
  };
  const int advance = advance_of(code);  // leaves the letter loaded
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  std::vector<uint32_t> columns(advance == 0 ? bitmap.width : advance, 0);
  const int pen = advance == 0 ? -face->glyph->bitmap_left : 0;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    for (unsigned col = 0; col < bitmap.width; ++col) {
      const int x = pen + face->glyph->bitmap_left + static_cast<int>(col);
      const int y = ascent - face->glyph->bitmap_top + static_cast<int>(row);
      const bool ink = bitmap.buffer[row * bitmap.pitch + col / 8] & (0x80 >> (col % 8));
      if (ink && x >= 0 && x < static_cast<int>(columns.size()) && y >= 0 &&
          y < std::min(height, 32)) {
        columns[x] |= 1u << y;
      }
    }
  }
  if (advance == 0) {  // only the columns with ink
    while (!columns.empty() && columns.back() == 0) columns.pop_back();
    while (!columns.empty() && columns.front() == 0) columns.erase(columns.begin());
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return columns;
}

std::string ErrorOf(const DesktopFont& font, const Path& folder) {
  try {
    FontFileMaker(font).CreateFontFiles(u"A", folder, [](const std::string&) {});
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(FontFilesTest, EmptyTableGivesHeightAndSixteenZeroCounts) {
  REQUIRE_DEJAVU();
  FontFileMaker maker(DejaVu(8));
  Made made(maker, u"");
  ASSERT_EQ(made.words.size(), 17u);
  EXPECT_EQ(made.words[0],
            static_cast<uint32_t>(TextRasterizer("DejaVu Sans", 8, false, false).CellHeight()));
  EXPECT_TRUE(
      std::all_of(made.words.begin() + 1, made.words.end(), [](uint32_t w) { return w == 0; }));
  EXPECT_EQ(made.log, std::vector<std::string>{"Create font file " +
                                               (made.folder.path() / "font0.dat").string() +
                                               ", size 68 bytes"});
}

TEST(FontFilesTest, SingleLetterFillsOnlyItsGroup) {
  REQUIRE_DEJAVU();
  FontFileMaker maker(DejaVu(8));
  Made made(maker, u"A");
  const uint32_t w = static_cast<uint32_t>(made.font.columns[u'A'].size());
  EXPECT_GT(w, 0u);
  ASSERT_EQ(made.words.size(), 1 + 16 + 2 + w);
  EXPECT_EQ(made.words[1], 0u);
  EXPECT_EQ(made.words[2], 2 + w);
  EXPECT_EQ(made.words[3], 65u);
  EXPECT_EQ(made.words[4], w);
  EXPECT_EQ(made.font.groups[1], u"A");
}

TEST(FontFilesTest, GroupsKeepTheTableOrder) {
  REQUIRE_DEJAVU();
  FontFileMaker maker(DejaVu(8));
  Made q_first(maker, u"Q A0");
  EXPECT_EQ(q_first.font.groups[1], u"QA");
  EXPECT_EQ(q_first.font.groups[0], u" 0");
  Made a_first(maker, u"AQ");
  EXPECT_EQ(a_first.font.groups[1], u"AQ");
  // The glyphs rendered for the first part are the ones the second reuses.
  EXPECT_EQ(a_first.font.columns[u'Q'], q_first.font.columns[u'Q']);
}

TEST(FontFilesTest, ColumnsMatchFreeTypeAtTheBaseline) {
  REQUIRE_DEJAVU();
  for (int points : {8, 12, 20}) {
    FontFileMaker maker(DejaVu(points));
    const std::u16string letters = u"AWЖ\u0301\u064E\u0650\u0651";
    Made made(maker, letters);
    EXPECT_EQ(
        made.font.height,
        static_cast<uint32_t>(TextRasterizer("DejaVu Sans", points, false, false).CellHeight()));
    for (char16_t letter : letters) {
      uint32_t height = 0;
      const std::vector<uint32_t> expected = FreeTypeColumns(points, letter, &height);
      EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [](uint32_t c) { return c != 0; }));
      EXPECT_EQ(made.font.columns[letter], expected)
          << points << " pt, letter " << static_cast<int>(letter);
      EXPECT_EQ(made.font.height, height);
    }
  }
}

// Zero-width letters are combining marks: their code word says so and their
// columns are their ink alone (see ColumnsMatchFreeTypeAtTheBaseline).
TEST(FontFilesTest, ZeroWidthLettersAreMarkedCombining) {
  REQUIRE_DEJAVU();
  FontFileMaker maker(DejaVu(12));
  Made made(maker, u"\u0301 \na\u064E\u0628\u0651");
  EXPECT_EQ(made.font.marks.size(), 3u);
  for (char16_t mark : {u'\u0301', u'\u064E', u'\u0651'}) {
    EXPECT_NE(made.font.marks.find(mark), std::u16string::npos) << static_cast<int>(mark);
  }
  // Space and line feed are letters like any other, with empty columns.
  for (char16_t blank : {u' ', u'\n'}) {
    const std::vector<uint32_t>& columns = made.font.columns[blank];
    EXPECT_EQ(
        columns.size(),
        static_cast<size_t>(TextRasterizer("DejaVu Sans", 12, false, false).AdvanceWidth(blank)));
    EXPECT_EQ(columns, std::vector<uint32_t>(columns.size(), 0));
  }
}

TEST(FontFilesTest, TallCellKeepsItsHeightButOnly32Rows) {
  REQUIRE_DEJAVU();
  FontFileMaker maker(DejaVu(40));
  Made made(maker, u"gÅ");
  TextRasterizer rasterizer("DejaVu Sans", 40, false, false);
  ASSERT_GT(rasterizer.CellHeight(), 32);
  EXPECT_EQ(made.font.height, static_cast<uint32_t>(rasterizer.CellHeight()));
  const InkBitmap a_ring = rasterizer.Draw(u"Å");
  for (int x = 0; x < a_ring.width; ++x) {
    uint32_t top_rows = 0;
    for (int y = 0; y < 32; ++y) top_rows |= a_ring.Ink(x, y) ? 1u << y : 0;
    EXPECT_EQ(made.font.columns[u'Å'][x], top_rows);
  }
}

TEST(FontFilesTest, FilesHold2048WordsEach) {
  for (size_t count : {2048u, 2049u}) {
    std::vector<uint32_t> words(count);
    for (size_t i = 0; i < count; ++i) words[i] = 0x01020304u * static_cast<uint32_t>(i + 1);
    testing::ScratchFolder folder;
    std::vector<std::string> log;
    WriteFontFiles(words, folder.path(), [&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(std::filesystem::file_size(folder / "font0.dat"), 8192u);
    EXPECT_EQ(std::filesystem::exists(folder / "font1.dat"), count == 2049);
    EXPECT_EQ(ReadFontData(folder.path()), words);
    EXPECT_EQ(log.size(), count == 2049 ? 2u : 1u);
    if (count == 2049) {
      EXPECT_EQ(log[1], "Create font file " + (folder / "font1.dat").string() + ", size 4 bytes");
    }
  }
}

TEST(FontFilesTest, FailuresNameTheFileBeingWritten) {
  REQUIRE_DEJAVU();
  testing::ScratchFolder folder;
  const Path missing = folder / "no such folder";
  EXPECT_EQ(
      ErrorOf(DejaVu(8), missing),
      "Can not create font file " + (missing / "font0.dat").string() + ", error: File not found");
  EXPECT_EQ(
      ErrorOf(DejaVu(0), folder.path()),
      "Can not create font file DejaVu Sans, error: font size must be 1 to 240 points, not 0");
  EXPECT_EQ(
      ErrorOf(DejaVu(500), folder.path()),
      "Can not create font file DejaVu Sans, error: font size must be 1 to 240 points, not 500");
  const Path text = folder.Write("book.ttf", "Chapter one");
  EXPECT_EQ(ErrorOf(DesktopFont{text.string(), 8, false, false}, folder.path()),
            "Can not create font file " + text.string() + ", error: font file " + text.string() +
                " is not a font");
  EXPECT_FALSE(std::filesystem::exists(folder / "font0.dat"));
}

// Creates font files for a table in a folder of its own: the words written,
// or the failure's message when there are none.
struct Attempt {
  testing::ScratchFolder folder;
  std::string error;
  size_t words = 0;

  Attempt(FontFileMaker& maker, std::u16string_view table) {
    try {
      maker.CreateFontFiles(table, folder.path(), [](const std::string&) {});
      words = ReadFontData(folder.path()).size();
    } catch (const Error& e) {
      error = e.what();
      EXPECT_FALSE(std::filesystem::exists(folder / "font0.dat")) << "written before failing";
    }
  }
};

TEST(FontFilesTest, FontDataBeyondCapacityStopsBeforeWriting) {
  REQUIRE_DEJAVU();
  // Far more letters than 131072 words hold at 240 points, whichever fonts draw them.
  std::u16string table;
  for (char16_t letter = u'A'; table.size() < 1300; ++letter) table += letter;
  FontFileMaker maker(DejaVu(240));
  ASSERT_FALSE(Attempt(maker, table).error.empty());

  // The shortest head of the table that fails: N letters fail, N - 1 fit.
  size_t fitting = 0;
  size_t failing = table.size();
  while (failing - fitting > 1) {
    const size_t middle = (fitting + failing) / 2;
    if (Attempt(maker, table.substr(0, middle)).error.empty()) {
      fitting = middle;
    } else {
      failing = middle;
    }
  }
  const Attempt fits(maker, table.substr(0, failing - 1));
  ASSERT_TRUE(fits.error.empty()) << fits.error;
  EXPECT_LE(fits.words, kFontDataCapacity);

  // The count named is the size the data would have had: that of the N - 1
  // letters and what the last letter adds to an empty table.
  const size_t last_letter_words =
      Attempt(maker, table.substr(failing - 1, 1)).words - Attempt(maker, u"").words;
  EXPECT_EQ(Attempt(maker, table.substr(0, failing)).error,
            "Can not create font file DejaVu Sans, error: the font data of this part would need " +
                std::to_string(fits.words + last_letter_words) + " words (" +
                std::to_string(failing) + " letters), more than 131072");
}

}  // namespace
}  // namespace velkaro
