#ifndef VELKARO_PLATFORM_TEXT_RASTERIZER_H_
#define VELKARO_PLATFORM_TEXT_RASTERIZER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// A one-bit picture, row by row from the top: each pixel is ink or ground.
struct InkBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height entries, 1 for ink

  bool Ink(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] != 0; }
};

// Draws text in one desktop font the way a one-bit phone screen shows it: no
// smoothing, no grey. Sizes are points at 96 dots per inch.
//
// The font name is a family name, looked up through fontconfig, which picks a
// substitute when no face has that name; a name holding a "/" is the path of a
// font file (bitmap fonts such as PCF, BDF, OTB and FON included). A letter
// that the face lacks, or has only an empty glyph for though it is no blank,
// is drawn from the first face fontconfig offers that has ink for it, so a
// letter only shows the missing-letter box when no installed font has it.
// Control characters (below U+0020) are never inked.
class TextRasterizer {
 public:
  static constexpr int kMaxSize = 240;  // points: a letter as tall as any phone screen

  // Throws Error when the size is not 1 to kMaxSize or no font can be opened.
  TextRasterizer(const std::string& font_name, int size, bool bold, bool italic);
  ~TextRasterizer();
  TextRasterizer(const TextRasterizer&) = delete;
  TextRasterizer& operator=(const TextRasterizer&) = delete;

  // The height of every letter's cell: ascent plus descent, in pixels.
  int CellHeight() const;
  // Pixels from the top of the cell to the baseline.
  int Ascent() const;
  // The font file in use for letters the face has.
  const std::string& FaceFile() const;

  // Whether the face or a face fontconfig picks for it has the letter; one
  // that none has shows the missing-letter box.
  bool HasGlyph(char32_t code);
  // How far one letter moves the pen, in pixels; 0 for a combining mark.
  int AdvanceWidth(char32_t code);
  // The width of a text: the sum of its letters' advances.
  int TextExtent(std::u16string_view text);
  // The text drawn with its cell's top-left corner at (0, 0) on a bitmap
  // TextExtent(text) wide and CellHeight() high. Ink beyond it is clipped.
  InkBitmap Draw(std::u16string_view text);
  // One letter's ink alone, its rows where Draw puts them, cut to the columns
  // that hold ink: a combining mark, which has no width of its own. Empty
  // (no column) when the letter has no ink.
  InkBitmap DrawInk(char32_t code);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_TEXT_RASTERIZER_H_
