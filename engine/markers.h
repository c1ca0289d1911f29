#ifndef VELKARO_ENGINE_MARKERS_H_
#define VELKARO_ENGINE_MARKERS_H_

// The working text is the book as UTF-16 letters, with markers where a
// picture stands or a heading begins. A marker is three letters: 1, a code,
// 2. The code's top four bits are its kind, the low twelve its number: a
// picture marker names picture `number` (counted from 1) of the book's list,
// a heading marker carries the heading's number. Every reader of a book and
// every step after it writes and reads markers through this header only.

#include <array>
#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

namespace velkaro {

inline constexpr char16_t kMarkerStart = 1;
inline constexpr char16_t kMarkerEnd = 2;
inline constexpr size_t kMarkerLength = 3;
inline constexpr int kMostMarkerNumber = 4095;  // the low 12 bits of a code

// Written before a "<" that is a letter of the book, not the start of a tag:
// books whose tags are all the reader's own mark each of their "<" so. Tag
// analysis drops the mark and keeps the "<".
inline constexpr char16_t kLetterMark = 3;

// Kinds 1 to 4 are pictures, by their file's type; kind 5 is a heading.
inline constexpr int kHeadingKind = 5;
inline constexpr std::array<std::string_view, 4> kPictureExtensions = {".jpg", ".png", ".gif",
                                                                       ".bmp"};

inline constexpr int MarkerKind(char16_t code) { return code >> 12; }
inline constexpr int MarkerNumber(char16_t code) { return code & 0xFFF; }
inline constexpr char16_t MarkerCode(int kind, int number) {
  return static_cast<char16_t>(kind << 12 | number);
}
inline constexpr bool IsHeadingCode(char16_t code) { return MarkerKind(code) == kHeadingKind; }

// The three letters of a marker.
inline std::u16string MarkerText(char16_t code) { return {kMarkerStart, code, kMarkerEnd}; }

// Whether a marker begins at letter i.
inline bool IsMarkerAt(std::u16string_view text, size_t i) {
  return i + 2 < text.size() && text[i] == kMarkerStart && text[i + 2] == kMarkerEnd;
}

// The picture kind of a file by its name's ending in any case ("A.JPG" is a
// JPEG); 0 for a name that is no picture.
inline int PictureKindOfName(std::string_view name) {
  if (name.size() < 4) return 0;
  std::string ending(name.substr(name.size() - 4));
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < kPictureExtensions.size(); ++i) {
    if (ending == kPictureExtensions[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

// ".jpg", ".png", ".gif" or ".bmp" for a picture kind; empty for any other kind.
inline std::string_view PictureExtension(int kind) {
  if (kind < 1 || kind > static_cast<int>(kPictureExtensions.size())) return {};
  return kPictureExtensions[kind - 1];
}

}  // namespace velkaro

#endif  // VELKARO_ENGINE_MARKERS_H_
