#include "engine/working_text.h"

#include <utility>

#include "engine/tags.h"

namespace velkaro {

WorkingText PrepareWorkingText(std::u16string text, bool tags, bool format) {
  WorkingText result;
  if (tags) result.tag_count = AnalyseTags(text, result.pictures);
  if (format) text = FormatText(std::move(text));
  if (tags) ExtractHeadings(text, result.headings);
  result.text = std::move(text);
  return result;
}

}  // namespace velkaro
