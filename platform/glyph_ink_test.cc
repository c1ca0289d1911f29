#include "platform/glyph_ink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velkaro {
namespace {

// An image from rows of digits: coverage in tenths (9 and above is full ink).
GlyphImage Image(const std::vector<std::string>& rows, int left = 0, int top = 0) {
  GlyphImage image{left, top, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
  for (const std::string& row : rows) {
    for (char c : row)
      image.values.push_back(c >= '9' ? 255 : static_cast<uint8_t>((c - '0') * 255 / 10));
  }
  return image;
}

// A stroke thinner than a pixel, falling between rows 1 and 2.
const GlyphImage kThinStroke = Image({"00000", "44444", "44444", "00000"});

TEST(GlyphInkTest, KeepsEveryStrokeAllowsAOnePixelShift) {
  struct Case {
    GlyphImage one_bit;
    bool keeps;
  };
  for (const Case& c : std::vector<Case>{
           {Image({"00000", "99999", "00000", "00000"}), true},
           {Image({"00000", "00000", "99999", "00000"}), true},  // one row lower
           {Image({"99999"}, 0, -2), true},                      // the same, placed by `top`
           {Image({"00000", "00000", "00000", "00000"}), false},
           {Image({"00000", "99900", "00000", "00000"}), false},  // the stroke's end is gone
           {Image({"99999", "00000", "00000", "00000"}), false},  // two rows from row 2
           {Image({"99999"}, 0, 1), false},                       // above the image
       }) {
    EXPECT_EQ(KeepsEveryStroke(c.one_bit, kThinStroke), c.keeps);
  }
}

TEST(GlyphInkTest, StrokeKeepingInkKeepsThinStrokesOnly) {
  struct Case {
    GlyphImage grey;
    GlyphImage ink;
  };
  for (const Case& c : std::vector<Case>{
           {kThinStroke, Image({"00000", "99999", "99999", "00000"})},
           {Image({"000", "151", "000"}), Image({"000", "090", "000"})},  // half covered is ink
           {Image({"000", "232", "000"}), Image({"000", "090", "000"})},  // darkest across
           {Image({"000", "222", "000"}), Image({"000", "000", "000"})},  // too faint
           // An edge's fringe stays ground along the stroke, not where it ends.
           {Image({"0369", "0369", "0369"}), Image({"0999", "0099", "0999"})},
       }) {
    const GlyphImage ink = StrokeKeepingInk(c.grey);
    EXPECT_EQ(ink.values, c.ink.values);
    EXPECT_TRUE(KeepsEveryStroke(ink, c.grey));
  }
}

}  // namespace
}  // namespace velkaro
