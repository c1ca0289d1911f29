#ifndef VELKARO_ENGINE_WORKING_TEXT_H_
#define VELKARO_ENGINE_WORKING_TEXT_H_

#include <cstdint>
#include <string>
#include <vector>

namespace velkaro {

// A loaded book after the text steps: its letters with picture markers (see
// markers.h), the pictures they name and the headings taken out of it.
struct WorkingText {
  std::u16string text;
  std::vector<std::string> pictures;          // picture marker n names pictures[n - 1]
  std::vector<int32_t> headings;              // position * 256 + (heading number AND 255)
  int tag_count = 0;                          // tags recognised
  std::vector<std::string> missing_pictures;  // picture tags whose file was found nowhere
};

// Tags, then format, then headings, each when asked for: with `tags` the
// picture and heading tags become markers and the headings leave the text,
// with `format` blanks and line breaks are tidied. Relative picture paths not
// found from the current folder are looked for in `source_folder`.
WorkingText PrepareWorkingText(std::u16string text, bool tags, bool format,
                               const std::string& source_folder = {});

}  // namespace velkaro

#endif  // VELKARO_ENGINE_WORKING_TEXT_H_
