#ifndef VELKARO_ENGINE_TAGS_H_
#define VELKARO_ENGINE_TAGS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// Where picture tags find their files: a relative path that is not found from
// the current folder is looked for in `source_folder` (the source text's own
// folder, when set). Paths found nowhere are listed in `missing`, once each.
struct PictureLookup {
  std::string source_folder;
  std::vector<std::string> missing;
};

// Turns picture tags ("<img path>") into picture markers (1, code, 2) and
// heading tags ("<p n>") into heading markers; every other tag vanishes.
// Appends picture paths to `pictures` as found; returns the number of
// recognised tags.
int AnalyseTags(std::u16string& text, std::vector<std::string>& pictures,
                PictureLookup* lookup = nullptr);

// Shrinks runs of blanks, joins words hyphenated at a line end and joins
// carriage-return line breaks, in the text's own room.
std::u16string FormatText(std::u16string text);

// Moves heading markers out of the text into `headings` as
// position * 256 + (heading number AND 255).
void ExtractHeadings(std::u16string& text, std::vector<int32_t>& headings);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_TAGS_H_
