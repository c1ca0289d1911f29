#include "engine/text_parts.h"

namespace velkaro {

int PartCount(size_t length, int32_t part_size) {
  return static_cast<int>((length + part_size - 1) / part_size);
}
size_t FindPartEnd(std::u16string_view text, size_t start, int32_t part_size, bool last) {
  return last ? text.size() : std::min(text.size(), start + part_size);
}
bool AnotherPartFollows(size_t length, size_t end) { return length - end > 6; }
std::u16string WithoutPictureMarkers(std::u16string_view part) { return std::u16string(part); }
std::u16string BuildLetterTable(std::u16string_view) { return u""; }
void WriteTextPart(std::u16string_view, const Path&, int32_t) {}

}  // namespace velkaro
