#ifndef VELKARO_ENGINE_FONT_FILES_H_
#define VELKARO_ENGINE_FONT_FILES_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/desktop_font.h"
#include "platform/files.h"
#include "platform/text_rasterizer.h"

namespace velkaro {

// The most words the font data of one letter table may take (512 KiB).
constexpr size_t kFontDataCapacity = 131072;
// Words per font file: font0.dat holds words 0 to 2047, font1.dat the next.
constexpr size_t kWordsPerFontFile = 2048;
// Rows of a glyph that its column words hold; the phone shows no lower row.
constexpr int kGlyphRows = 32;

// The high half of a glyph's code word: 1 for a combining mark, which takes no
// width and is drawn over the middle of the letter before it.
constexpr uint32_t kCombiningMark = 0x10000;

// Whether a letter is a combining mark: one the font does not advance over.
// Control letters are none; they are never drawn.
bool IsCombiningMark(TextRasterizer& rasterizer, char16_t letter);

// A letter's glyph as the font files hold it, its width the bitmap's: the
// letter alone; a combining mark's ink alone; a control letter of no width
// after a space.
InkBitmap DrawLetter(TextRasterizer& rasterizer, char16_t letter);

// Renders letters of one desktop font into the phone's font files. One maker
// serves a whole build, so a glyph is rendered once and reused by later parts.
//
// Font data: H (the cell height), then for each group g = 0 to 15 the number
// of words that follow in the group and, for each letter of the table whose
// code AND 15 is g, in table order: its code (with kCombiningMark for a
// mark), its width w and w column words (bit y set for ink in row y from the
// top; rows from 32 down are dropped).
class FontFileMaker {
 public:
  explicit FontFileMaker(const DesktopFont& font);
  ~FontFileMaker();

  // Writes font0.dat, font1.dat, ... for a letter table into `folder`,
  // logging one line per file. Throws Error("Can not create font file ..."),
  // naming `part` when the part's font would not fit the phone's buffer.
  // Returns the number of files written.
  size_t CreateFontFiles(std::u16string_view letter_table, const Path& folder,
                         const std::function<void(const std::string&)>& log,
                         const std::string& part = "this part");

  // The bytes of font0.dat, font1.dat, ... that CreateFontFiles writes for
  // a letter table. Throws as it does.
  std::vector<std::string> FontFiles(std::u16string_view letter_table,
                                     const std::string& part = "this part");

  // The words of the font data of a letter table, its glyphs rendered as
  // needed; more than kFontDataCapacity do not fit the phone's buffer.
  size_t FontDataWords(std::u16string_view letter_table);

  // The letters of a table (line feed and other control letters left out)
  // that no installed font can draw, in table order. Throws as
  // CreateFontFiles when the font cannot be opened.
  std::u16string LettersWithoutGlyph(std::u16string_view letter_table);

 private:
  struct Glyph {
    uint32_t width;
    size_t first_column;  // in columns_
    bool mark;
  };

  TextRasterizer& Rasterizer();
  void GatherFontData(std::u16string_view letter_table, const std::string& part);
  void GatherOrSayWhichFont(std::u16string_view letter_table, const std::string& part);
  size_t CountWords(std::u16string_view letter_table);
  const Glyph& GlyphOf(char16_t letter);
  Glyph Render(char16_t letter);

  DesktopFont font_;
  std::unique_ptr<TextRasterizer> rasterizer_;  // opened by the first call
  std::vector<int32_t> glyph_index_;            // per letter code; -1 until rendered
  std::vector<Glyph> glyphs_;
  std::vector<uint32_t> columns_;
  std::vector<uint32_t> font_data_;
};

// Font data cut into the bytes of its font files, each word high byte first.
std::vector<std::string> FontFileBytes(std::span<const uint32_t> words);

// Writes font data as font files into `folder`, each word high byte first,
// logging "Create font file " + path + ", size " + n + " bytes" per file.
// Returns the number of files written.
size_t WriteFontFiles(std::span<const uint32_t> words, const Path& folder,
                      const std::function<void(const std::string&)>& log);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_FONT_FILES_H_
