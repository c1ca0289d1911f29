#ifndef VELKARO_ENGINE_FONT_FILES_H_
#define VELKARO_ENGINE_FONT_FILES_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/font_spec.h"
#include "platform/files.h"

namespace velkaro {

// Renders letters of one desktop font into the phone's font files. One maker
// serves a whole build, so a glyph is rendered once and reused by later parts.
class FontFileMaker {
 public:
  explicit FontFileMaker(const FontSpec& font);
  ~FontFileMaker();

  // Writes font0.dat, font1.dat, ... for a letter table into `folder`,
  // logging one line per file. Throws Error("Can not create font file ...").
  void CreateFontFiles(std::u16string_view letter_table, const Path& folder,
                       const std::function<void(const std::string&)>& log);

 private:
  FontSpec font_;
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_FONT_FILES_H_
