#ifndef VELKARO_ENGINE_TEXT_PARTS_H_
#define VELKARO_ENGINE_TEXT_PARTS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace velkaro {

// The end (one past the last letter) of the part that starts at `start`.
// The last part takes the rest; any other ends after the highest line feed,
// ".", "!" or "?" (or CJK full stop or mark) within part_size letters, or at
// the window's last letter when there is none. A part never ends inside a
// number or a picture marker.
size_t FindPartEnd(std::u16string_view text, size_t start, int32_t part_size, bool last);

// One part of the working text: letters [start, end).
struct TextPart {
  int number;  // from 1
  int count;   // the most parts the text can make; fewer when the last leftover is short
  size_t start;
  size_t end;
  std::u16string_view text;  // the letters, markers included
};

// Cuts the text into parts of about `part_size` letters, in order, and hands
// each to `handle`. Six or fewer letters left after a part make no further
// part; the part numbered `count` takes the rest however long.
void ForEachPart(std::u16string_view text, int32_t part_size,
                 const std::function<void(const TextPart&)>& handle);

// Each distinct letter once, most frequent first, lower code first on ties.
std::u16string BuildLetterTable(std::u16string_view text);
// The same for a part whose picture markers (runs 1, code, 2) show nothing,
// so that their letters are left out.
std::u16string BuildLetterTableWithoutMarkers(std::u16string_view part);

// Writes letters XOR the low 16 bits of password, high byte first; returns
// the bytes written.
std::string WriteTextPart(std::u16string_view letters, const Path& file, int32_t password);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_TEXT_PARTS_H_
