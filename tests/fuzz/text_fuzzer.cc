// Feeds arbitrary bytes through the road of a text book: decoding (the
// character set guessed when the bytes are no UTF-8), joining wrapped lines,
// the three text steps and the split into parts with their letter tables. Any crash,
// hang or broken invariant is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/line_joiner.h"
#include "engine/tags.h"
#include "engine/text_parts.h"
#include "engine/text_source.h"
#include "engine/utf8_decoder.h"
#include "engine/working_text.h"
#include "platform/code_page.h"

namespace velkaro {
namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

// The fast decoder of the system code page must read as the platform does.
void CheckLocaleDecoder(std::string_view bytes) {
  if (SystemCharset() != "UTF-8") return;
  std::u16string letters(bytes.size(), u'\0');
  letters.resize(DecodeLocaleUtf8(bytes, letters.data()));
  Check(letters == AnsiToWide(bytes));
  Check(IsValidUtf8(bytes) == IsValidIn(bytes, "UTF-8"));
}

// Joining wrapped lines only turns line feeds into blanks or drops them.
void CheckJoinedLines(const std::u16string& text) {
  const auto without_breaks = [](std::u16string letters) {
    std::erase_if(letters, [](char16_t c) { return c == u'\n' || c == u' '; });
    return letters;
  };
  const std::u16string joined = JoinWrappedLines(text);
  Check(joined.size() <= text.size());
  Check(without_breaks(joined) == without_breaks(text));
}

// Tag analysis leaves a "<" only where no ">" closes it on its line.
void CheckTagsLeftOpen(std::u16string text) {
  std::vector<std::string> pictures;
  AnalyseTags(text, pictures);
  for (size_t open = text.find(u'<'); open != std::u16string::npos;
       open = text.find(u'<', open + 1)) {
    const size_t end = text.find_first_of(u">\r\n", open + 1);
    Check(end == std::u16string::npos || text[end] != u'>');
  }
}

std::u16string RunTextSteps(std::u16string text) {
  text += u' ';
  CheckTagsLeftOpen(text);
  WorkingText working = PrepareWorkingText(std::move(text), true, true);
  Check(working.tag_count >= static_cast<int>(working.pictures.size()));
  return std::move(working.text);
}

// Checks one letter table at most (of the first part): each table costs a
// pass over 65,536 counters, which would dominate the run.
void SplitIntoParts(std::u16string_view text, int32_t part_size, bool check_table) {
  size_t next_start = 0;
  ForEachPart(text, part_size, [&](const TextPart& part) {
    Check(part.start == next_start && part.end > part.start && part.end <= text.size());
    // Only a picture marker kept whole makes a part longer than the limit.
    Check(part.number == part.count || part.text.size() <= static_cast<size_t>(part_size) + 2);
    if (part.number == 1 && check_table) {
      // A count that went below zero would bring in a letter the part lacks.
      const std::u16string table = BuildLetterTableWithoutMarkers(part.text);
      Check(table.size() <= part.text.size());
      for (char16_t c : table) Check(part.text.find(c) != std::u16string::npos);
    }
    next_start = part.end;
  });
}

// The bytes as letters, control letters included, so that picture markers
// (1, code, 2) and their broken forms reach the split.
std::u16string RawLetters(std::string_view bytes) {
  std::u16string letters(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < letters.size(); ++i) {
    letters[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) << 8 |
                                       static_cast<uint8_t>(bytes[2 * i + 1]));
  }
  return letters;
}

}  // namespace
}  // namespace velkaro

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velkaro;
  if (size == 0) return 0;
  // The first byte picks the part size; the rest is the file.
  const int32_t part_size = 1 + data[0] % 64;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckLocaleDecoder(bytes);
  const std::u16string decoded = DetectEncoding(bytes) == TextEncoding::kAnsi
                                     ? DecodeUnmarkedText(bytes, "", nullptr)
                                     : DecodePlainText(bytes, DetectEncoding(bytes));
  CheckJoinedLines(decoded);
  const std::u16string text = RunTextSteps(decoded);
  SplitIntoParts(text, part_size, true);
  SplitIntoParts(RawLetters(bytes), part_size, false);
  return 0;
}
