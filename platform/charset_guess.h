#ifndef VELKARO_PLATFORM_CHARSET_GUESS_H_
#define VELKARO_PLATFORM_CHARSET_GUESS_H_

#include <string>
#include <string_view>

namespace velkaro {

// The iconv name of the character set that a text's bytes most likely use
// ("WINDOWS-1251", "UTF-8"), judged from a sample of the bytes; "" when no
// guess can be made (for example from too few bytes).
std::string GuessCharset(std::string_view bytes);

// "UTF-16LE" or "UTF-16BE" for a text in UTF-16 without byte-order mark,
// told by the NUL bytes that its ASCII letters (blanks, line ends, digits)
// bring, all in the high byte; "" for any other text, as text in a byte
// character set holds no NUL bytes.
std::string Utf16WithoutMark(std::string_view bytes);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_CHARSET_GUESS_H_
