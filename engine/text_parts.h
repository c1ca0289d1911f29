#ifndef VELKARO_ENGINE_TEXT_PARTS_H_
#define VELKARO_ENGINE_TEXT_PARTS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace velkaro {

// The most parts a text of `length` letters can make: ceil(length / part_size).
int PartCount(size_t length, int32_t part_size);

// The end (one past the last letter) of the part that starts at `start`.
// The last part takes the rest; any other ends after the highest cut
// character ("#10.!?", or a letter the system code page cannot hold) within
// part_size letters, or at the window's last letter when there is none. A
// part never ends inside a picture marker.
size_t FindPartEnd(std::u16string_view text, size_t start, int32_t part_size, bool last);

// Whether enough letters remain after `end` to make another part.
bool AnotherPartFollows(size_t length, size_t end);

// The part without its picture markers (runs 1, code, 2).
std::u16string WithoutPictureMarkers(std::u16string_view part);

// Each distinct letter once, most frequent first, lower code first on ties.
std::u16string BuildLetterTable(std::u16string_view text);

// Writes letters XOR the low 16 bits of password, high byte first.
void WriteTextPart(std::u16string_view letters, const Path& file, int32_t password);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_TEXT_PARTS_H_
