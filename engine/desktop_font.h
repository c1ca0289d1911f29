#ifndef VELKARO_ENGINE_DESKTOP_FONT_H_
#define VELKARO_ENGINE_DESKTOP_FONT_H_

#include <string>

namespace velkaro {

// A desktop font as the settings name it: a family name (or the path of a
// font file), a size in points and two style flags.
struct DesktopFont {
  std::string Name = "Sans";
  int Size = 8;
  bool Bold = false;
  bool Italic = false;

  bool operator==(const DesktopFont&) const = default;
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_DESKTOP_FONT_H_
