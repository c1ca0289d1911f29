#include "engine/contents_file.h"

#include "engine/config_file.h"
#include "engine/markers.h"

namespace velkaro {
namespace {

constexpr int kTitleLetters = 30;

bool IsLineEnd(char16_t c) { return c == u'\n' || c == u'\r'; }

// The letters of the first line from `position` on, at most kTitleLetters
// steps; a picture marker takes one step and shows nothing, nor do control
// letters. A title cut short ends at its last word boundary where it has one.
std::u16string TitleAt(std::u16string_view text, size_t position) {
  while (position < text.size() && IsLineEnd(text[position])) ++position;
  std::u16string title;
  bool whole_line = true;
  for (int n = 0; position < text.size(); ++position, ++n) {
    const char16_t c = text[position];
    if (IsLineEnd(c)) break;
    if (n == kTitleLetters) {
      whole_line = c == u' ';
      break;
    }
    if (IsMarkerAt(text, position)) {
      position += kMarkerLength - 1;
    } else if (c >= u' ') {
      title += c;
    }
  }
  const size_t last_blank = title.rfind(u' ');
  if (!whole_line && last_blank != std::u16string::npos && last_blank > 0) title.resize(last_blank);
  while (title.ends_with(u' ')) title.pop_back();
  return title;
}

}  // namespace

std::vector<ContentsEntry> BookContents(std::u16string_view text,
                                        const std::vector<int32_t>& headings,
                                        const std::vector<size_t>& part_ends) {
  std::vector<ContentsEntry> contents;
  for (int32_t entry : headings) {
    const size_t position = static_cast<uint32_t>(entry) >> 8;
    int part = 1;
    while (part < static_cast<int>(part_ends.size()) && position >= part_ends[part - 1]) ++part;
    contents.push_back({part, TitleAt(text, position)});
  }
  return contents;
}

std::string ContentsFile(const std::vector<ContentsEntry>& contents, int part_number,
                         size_t part_offset, std::u16string_view book_name) {
  ConfigWriter out;
  out.WriteInt32(part_number);
  out.WriteInt32(static_cast<int32_t>(part_offset));
  out.WriteWideText(book_name);
  out.WriteInt32(static_cast<int32_t>(contents.size()));
  for (const ContentsEntry& entry : contents) {
    out.WriteInt32(entry.part);
    out.WriteWideText(entry.title);
  }
  return out.bytes();
}

}  // namespace velkaro
