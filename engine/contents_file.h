#ifndef VELKARO_ENGINE_CONTENTS_FILE_H_
#define VELKARO_ENGINE_CONTENTS_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// One heading of the book as every part's contents list shows it.
struct ContentsEntry {
  int part;              // the number of the part that holds the heading, from 1
  std::u16string title;  // its first line, at most 30 letters

  bool operator==(const ContentsEntry&) const = default;
};

// The entries of the heading list (position * 256 + level) of the working text,
// in list order, with the parts numbered as `part_ends` (see PartPlan) cut the text.
std::vector<ContentsEntry> BookContents(std::u16string_view text,
                                        const std::vector<int32_t>& headings,
                                        const std::vector<size_t>& part_ends);

// "toc.dat" of one part, in the integers and texts of cfg.dat: the part's
// number, its offset in the whole text, the book name, then the count of
// entries and each entry's part number and title. cfg.dat keeps the heading
// positions and levels; this file lets a part list the headings of the others.
std::string ContentsFile(const std::vector<ContentsEntry>& contents, int part_number,
                         size_t part_offset, std::u16string_view book_name);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_CONTENTS_FILE_H_
