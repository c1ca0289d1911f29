#include "engine/working_text.h"

#include <utility>

#include "engine/tags.h"

namespace velkaro {

WorkingText PrepareWorkingText(std::u16string text, bool tags, bool format,
                               const std::string& source_folder) {
  WorkingText result;
  if (tags) {
    PictureLookup lookup{.source_folder = source_folder};
    result.tag_count = AnalyseTags(text, result.pictures, &lookup);
    result.missing_pictures = std::move(lookup.missing);
  }
  if (format) text = FormatText(std::move(text));
  if (tags) ExtractHeadings(text, result.headings);
  result.text = std::move(text);
  return result;
}

}  // namespace velkaro
