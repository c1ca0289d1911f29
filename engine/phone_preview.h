#ifndef VELKARO_ENGINE_PHONE_PREVIEW_H_
#define VELKARO_ENGINE_PHONE_PREVIEW_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/desktop_font.h"

namespace velkaro {

// What the window's phone-screen preview shows of a text book.
struct PreviewSettings {
  int width = 240;  // the phone screen in pixels, already turned for landscape
  int height = 320;
  DesktopFont font;               // the preview font
  int32_t text_color = 0;         // 0x00BBGGRR
  int32_t back_color = 0xFFFFFF;  // 0x00BBGGRR
  int line_spacing = 0;
  int char_spacing = 0;
  bool wrap = true;
  bool tags = false;
  bool format = false;  // show the text as the formatting step leaves it
};

struct PreviewScreen {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, row by row from the top
  int letter_height = 0;         // the font's cell height (Label11)
};

// The text-book screen: back colour, lines, picture boxes. Lines are laid out
// and letters drawn as the phone's reader draws the first page of a book in a
// desktop font, so the two agree pixel for pixel. Throws Error on a font that
// cannot be opened.
PreviewScreen RenderPreviewScreen(const PreviewSettings& settings, const std::u16string& text);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PHONE_PREVIEW_H_
