#ifndef VELKARO_ENGINE_FONT_SPEC_H_
#define VELKARO_ENGINE_FONT_SPEC_H_

#include <string>

namespace velkaro {

// A desktop font as the settings name it: a family name (or the path of a
// font file), a size in points and two style flags.
struct FontSpec {
  std::string Name = "Sans";
  int Size = 8;
  bool Bold = false;
  bool Italic = false;

  bool operator==(const FontSpec&) const = default;
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_FONT_SPEC_H_
