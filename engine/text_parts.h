#ifndef VELKARO_ENGINE_TEXT_PARTS_H_
#define VELKARO_ENGINE_TEXT_PARTS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace velkaro {

// Whether a part may end after the letter: a line end or a sentence's last
// mark, never inside a number or a word.
bool EndsAPart(char16_t c);

// The end (one past the last letter) of the part that starts at `start`.
// The last part takes the rest; any other ends after the highest line feed,
// ".", "!" or "?" (or CJK full stop or mark) within part_size letters, or at
// the window's last letter when there is none. A part never ends inside a
// number or a picture marker.
size_t FindPartEnd(std::u16string_view text, size_t start, int32_t part_size, bool last);

// One part of the working text: letters [start, end).
struct TextPart {
  int number;  // from 1
  int count;   // the parts the log counts; see PartPlan
  size_t start;
  size_t end;
  std::u16string_view text;  // the letters, markers included
};

// Where the parts of a text end, first part first.
struct PartPlan {
  std::vector<size_t> ends;  // one past each part's last letter
  // Cut by the part size alone, the most parts the text can make, which the
  // log counts; fewer are made when the last leftover is short.
  int count = 0;
};

// Six or fewer letters left after a part make no further part.
inline constexpr size_t kMostLeftOver = 6;

// The text cut into parts of about `part_size` letters. Six or fewer letters
// left after a part make no further part; the part numbered `count` takes
// the rest however long.
PartPlan PlanParts(std::u16string_view text, int32_t part_size);

// Hands each part of a plan, in order, to `handle`.
void ForEachPart(std::u16string_view text, const PartPlan& plan,
                 const std::function<void(const TextPart&)>& handle);
// The same for the parts of PlanParts(text, part_size).
void ForEachPart(std::u16string_view text, int32_t part_size,
                 const std::function<void(const TextPart&)>& handle);

// Each distinct letter once, most frequent first, lower code first on ties.
std::u16string BuildLetterTable(std::u16string_view text);
// The same for a part whose picture markers (runs 1, code, 2) show nothing,
// so that their letters are left out.
std::u16string BuildLetterTableWithoutMarkers(std::u16string_view part);

// Letters per book file: book0.dat holds a part's first 4096, book1.dat the next.
inline constexpr size_t kBookFileLetters = 4096;

// The bytes of a book file: letters XOR the low 16 bits of password, high
// byte first.
std::string BookFileBytes(std::u16string_view letters, int32_t password);

// Writes a book file's bytes; returns them.
std::string WriteTextPart(std::u16string_view letters, const Path& file, int32_t password);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_TEXT_PARTS_H_
