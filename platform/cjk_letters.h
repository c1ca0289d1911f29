#ifndef VELKARO_PLATFORM_CJK_LETTERS_H_
#define VELKARO_PLATFORM_CJK_LETTERS_H_

namespace velkaro {

// Chinese, Japanese and Korean letters and marks: radicals, CJK punctuation,
// kana, ideographs, hangul and the full-width forms. They stand without
// blanks between words and have many thin strokes in a small cell.
inline bool IsCjkLetter(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_CJK_LETTERS_H_
