#ifndef VELKARO_PLATFORM_GLYPH_INK_H_
#define VELKARO_PLATFORM_GLYPH_INK_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkaro {

// A rendered glyph placed against its pen position: pixel (column, row) lies
// at (left + column) right of the pen and (row - top) below the baseline.
// Values are coverage from 0 (ground) to 255 (full ink); a one-bit rendering
// holds only 0 and 255.
struct GlyphImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  std::vector<uint8_t> values;  // width * rows, row by row from the top

  uint8_t At(int column, int row) const {
    return values[static_cast<size_t>(row) * width + column];
  }
  // Full ink at the pen-relative point (x, y).
  bool InkAt(int x, int y) const;
};

// Whether the one-bit rendering keeps some ink, at most one pixel away, for
// every pixel of the grey rendering that a stroke covers at least a third.
bool KeepsEveryStroke(const GlyphImage& one_bit, const GlyphImage& grey);

// A grey rendering made one-bit without losing thin strokes: pixels at least
// half covered are ink, and so is a pixel a quarter covered or more that is
// the darkest across a stroke (left and right, or above and below, neither
// neighbour darker and one lighter): a stroke thinner than a pixel that
// falls between two rows or columns.
GlyphImage StrokeKeepingInk(const GlyphImage& grey);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_GLYPH_INK_H_
