#include "platform/glyph_ink.h"

namespace velkaro {
namespace {

constexpr int kFull = 255;

// Coverage outside the image is ground.
int CoverageAt(const GlyphImage& image, int column, int row) {
  if (column < 0 || row < 0 || column >= image.width || row >= image.rows) return 0;
  return image.At(column, row);
}

bool HasInkNear(const GlyphImage& image, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      if (image.InkAt(x + dx, y + dy)) return true;
    }
  }
  return false;
}

// Along x or along y, no neighbour is darker and one is lighter: the pixel
// is the middle of a stroke, not a flat stretch of an edge's fringe.
bool DarkestAcross(const GlyphImage& image, int column, int row) {
  const int value = image.At(column, row);
  const auto darkest_between = [value](int before, int after) {
    return before <= value && after <= value && (before < value || after < value);
  };
  return darkest_between(CoverageAt(image, column - 1, row), CoverageAt(image, column + 1, row)) ||
         darkest_between(CoverageAt(image, column, row - 1), CoverageAt(image, column, row + 1));
}

}  // namespace

bool GlyphImage::InkAt(int x, int y) const { return CoverageAt(*this, x - left, y + top) == kFull; }

bool KeepsEveryStroke(const GlyphImage& one_bit, const GlyphImage& grey) {
  for (int row = 0; row < grey.rows; ++row) {
    for (int column = 0; column < grey.width; ++column) {
      if (grey.At(column, row) * 3 < kFull) continue;
      if (!HasInkNear(one_bit, grey.left + column, row - grey.top)) return false;
    }
  }
  return true;
}

GlyphImage StrokeKeepingInk(const GlyphImage& grey) {
  GlyphImage ink = grey;
  for (int row = 0; row < grey.rows; ++row) {
    for (int column = 0; column < grey.width; ++column) {
      const int value = grey.At(column, row);
      const bool is_ink =
          value * 2 >= kFull || (value * 4 >= kFull && DarkestAcross(grey, column, row));
      ink.values[static_cast<size_t>(row) * grey.width + column] = is_ink ? kFull : 0;
    }
  }
  return ink;
}

}  // namespace velkaro
