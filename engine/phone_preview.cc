#include "engine/phone_preview.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "engine/font_files.h"
#include "engine/markers.h"
#include "engine/tags.h"
#include "platform/text_rasterizer.h"

namespace velkaro {
namespace {

constexpr std::u16string_view kBreakLetters = u" ,.?!:;-";
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kYellow = 0xFFFF00;

bool IsBreak(char16_t c) { return kBreakLetters.find(c) != std::u16string_view::npos; }
bool IsRightToLeft(char16_t c) { return c >= 0x0600 && c < 0x0800; }

// 0x00BBGGRR as the screen's 0x00RRGGBB.
uint32_t ScreenColor(int32_t color) {
  const auto bgr = static_cast<uint32_t>(color);
  return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

// A picture tag's text (from its "<") holds "img" in any case.
bool IsPictureTag(std::u16string_view tag) {
  std::u16string lower(tag);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return lower.find(u"img") != std::u16string::npos;
}

// Lays out and draws one screen. Positions index the text from 0; the page's
// first line and first letter start at 1, as on the phone.
class PreviewPainter {
 public:
  PreviewPainter(const PreviewSettings& settings, const std::u16string& text)
      : settings_(settings),
        text_(text),
        rasterizer_(settings.font.Name, settings.font.Size, settings.font.Bold,
                    settings.font.Italic),
        cell_height_(rasterizer_.CellHeight()),
        text_rgb_(ScreenColor(settings.text_color)),
        back_rgb_(ScreenColor(settings.back_color)) {
    screen_.width = std::max(settings.width, 0);
    screen_.height = std::max(settings.height, 0);
    screen_.letter_height = cell_height_;
    screen_.pixels.assign(static_cast<size_t>(screen_.width) * screen_.height, back_rgb_);
  }

  PreviewScreen Paint() &&;

 private:
  bool PictureTagAt(size_t& pos) const;
  size_t LineEnd(size_t start);
  void DrawLine(size_t start, size_t end, int y);
  void DrawLetter(const InkBitmap& glyph, int x, int y);
  void DrawPictureBox(int number, int y);
  void Fill(int x, int y, int w, int h, uint32_t rgb);
  void Ink(const InkBitmap& bitmap, int rows, int x, int y, uint32_t rgb);
  const InkBitmap& Glyph(char16_t letter);
  int Width(char16_t letter) { return Glyph(letter).width; }

  const PreviewSettings& settings_;
  const std::u16string& text_;
  TextRasterizer rasterizer_;
  const int cell_height_;
  const uint32_t text_rgb_;
  const uint32_t back_rgb_;
  std::unordered_map<char16_t, InkBitmap> glyphs_;
  PreviewScreen screen_;
};

PreviewScreen PreviewPainter::Paint() && {
  const int line_spacing = settings_.line_spacing;
  int y = 1;
  int picture_number = 1;
  bool first = true;  // the first line is drawn even when it does not fit
  size_t pos = 0;
  while (pos < text_.size()) {
    const bool picture = PictureTagAt(pos);
    if (!picture && pos >= text_.size()) break;
    const int height = picture ? 2 * cell_height_ + line_spacing : cell_height_;
    if (!first && y + height > screen_.height) break;
    first = false;
    if (picture) {
      DrawPictureBox(picture_number++, y);
    } else {
      const size_t end = LineEnd(pos);
      DrawLine(pos, end, y);
      pos = end;
    }
    y += height + line_spacing;
  }
  return std::move(screen_);
}

// With tags on, a complete tag at the start of a line is skipped; true when
// it was a picture tag. A tag inside a line, or right after a skipped one, is
// only letters, and so is a "<" without a ">".
bool PreviewPainter::PictureTagAt(size_t& pos) const {
  if (!settings_.tags || text_[pos] != u'<') return false;
  const size_t close = text_.find(u'>', pos);
  if (close == std::u16string::npos) return false;
  const bool picture = IsPictureTag(std::u16string_view(text_).substr(pos, close - pos));
  pos = close + 1;
  return picture;
}

// Where the line that starts at `start` ends (exclusive): after a line feed, a
// carriage return, or the pair of them. With wrap the line
// ends after its last break letter; a blank that does not fit stays at the
// line's end, a punctuation mark that does not fit goes to the next line with
// its word. Every line takes at least one letter; a combining mark takes no
// width.
size_t PreviewPainter::LineEnd(size_t start) {
  int x = 1;
  std::optional<size_t> last_break, break_before;
  for (size_t i = start; i < text_.size(); ++i) {
    const char16_t c = text_[i];
    if (IsBreak(c)) {
      break_before = last_break;
      last_break = i;
    }
    if (c == u'\n') return i + 1;
    if (c == u'\r') return i + 1 < text_.size() && text_[i + 1] == u'\n' ? i + 2 : i + 1;
    // A document's mark that the "<" after it is a letter takes no room.
    if (c != kLetterMark && !IsCombiningMark(rasterizer_, c))
      x += Width(c) + settings_.char_spacing;
    if (x > screen_.width) {
      if (last_break == i && c != u' ') last_break = break_before;
      if (settings_.wrap && last_break) return *last_break + 1;
      return std::max(i, start + 1);
    }
  }
  return text_.size();
}

// A line holding a right-to-left letter runs from the right edge leftwards.
// Control letters take width when a line is measured but are not drawn. A
// combining mark is inked over the middle of the letter before it.
void PreviewPainter::DrawLine(size_t start, size_t end, int y) {
  const auto line = std::u16string_view(text_).substr(start, end - start);
  const bool rtl = std::any_of(line.begin(), line.end(), IsRightToLeft);
  int x = rtl ? screen_.width : 1;
  int base_x = x, base_width = 0;
  for (char16_t c : line) {
    if (c < 0x20) continue;
    const InkBitmap& glyph = Glyph(c);
    if (IsCombiningMark(rasterizer_, c)) {
      Ink(glyph, std::min(glyph.height, kGlyphRows), base_x + (base_width - glyph.width) / 2, y,
          text_rgb_);
      continue;
    }
    const int advance = glyph.width + settings_.char_spacing;
    if (rtl) x -= advance;
    DrawLetter(glyph, x, y);
    base_x = x;
    base_width = glyph.width;
    if (!rtl) x += advance;
  }
}

// Opaque: the letter's cell in the back colour, then its ink as far as the
// font files carry it.
void PreviewPainter::DrawLetter(const InkBitmap& glyph, int x, int y) {
  Fill(x, y, glyph.width, cell_height_, back_rgb_);
  Ink(glyph, std::min(glyph.height, kGlyphRows), x, y, text_rgb_);
}

// The yellow box that stands for a picture, with its number in the middle of
// its top edge.
void PreviewPainter::DrawPictureBox(int number, int y) {
  const int left = screen_.width / 4;
  const int width = screen_.width / 2;
  const int height = std::min(2 * cell_height_, screen_.height - y);
  Fill(left, y, width, height, kBlack);
  Fill(left + 2, y + 2, width - 4, height - 4, kYellow);
  std::u16string text = u"#";
  for (char digit : std::to_string(number)) text += static_cast<char16_t>(digit);
  const InkBitmap label = rasterizer_.Draw(text);
  Ink(label, label.height, screen_.width / 2 - label.width / 2, y + 2, kBlack);
}

void PreviewPainter::Fill(int x, int y, int w, int h, uint32_t rgb) {
  const int left = std::max(x, 0), right = std::min(x + w, screen_.width);
  const int top = std::max(y, 0), bottom = std::min(y + h, screen_.height);
  if (left >= right) return;
  for (int row = top; row < bottom; ++row) {
    auto first = screen_.pixels.begin() + static_cast<ptrdiff_t>(row) * screen_.width;
    std::fill(first + left, first + right, rgb);
  }
}

void PreviewPainter::Ink(const InkBitmap& bitmap, int rows, int x, int y, uint32_t rgb) {
  for (int row = 0; row < rows; ++row) {
    if (y + row < 0 || y + row >= screen_.height) continue;
    for (int column = 0; column < bitmap.width; ++column) {
      if (x + column < 0 || x + column >= screen_.width || !bitmap.Ink(column, row)) continue;
      screen_.pixels[static_cast<size_t>(y + row) * screen_.width + x + column] = rgb;
    }
  }
}

const InkBitmap& PreviewPainter::Glyph(char16_t letter) {
  auto it = glyphs_.find(letter);
  if (it == glyphs_.end())
    it = glyphs_.emplace(letter, velkaro::DrawLetter(rasterizer_, letter)).first;
  return it->second;
}

}  // namespace

PreviewScreen RenderPreviewScreen(const PreviewSettings& settings, const std::u16string& text) {
  if (settings.format) return PreviewPainter(settings, FormatText(text)).Paint();
  return PreviewPainter(settings, text).Paint();
}

}  // namespace velkaro
