#ifndef VELKARO_PLATFORM_CODE_PAGE_H_
#define VELKARO_PLATFORM_CODE_PAGE_H_

#include <string>
#include <string_view>

namespace velkaro {

// Settings texts (names, paths, notes) are bytes in the system code page: the
// locale's character set, UTF-8 under the C/POSIX locale. The book's text is
// UTF-16 throughout.

// The iconv name of the system code page, read once from the locale.
const std::string& SystemCharset();
// Whether the system code page is UTF-8, by any spelling of its name.
bool SystemCharsetIsUtf8();
// The OEM page that goes with it, used for names inside archives.
const std::string& OemCharset();

// Bytes that do not decode become U+FFFD, as the system conversion does.
std::u16string AnsiToWide(std::string_view text);
// Letters the code page cannot hold become "?".
std::string WideToAnsi(std::u16string_view text);
std::string AnsiToOem(std::string_view text);

// Whether iconv knows a character set by this name.
bool IsKnownCharset(const std::string& charset);
// Whether every byte sequence of the text is a letter of the character set.
bool IsValidIn(std::string_view bytes, const std::string& charset);
// The letters of text in any character set iconv knows; bytes that do not
// decode become U+FFFD.
std::u16string WideFrom(std::string_view text, const std::string& charset);

// Converts between any two iconv character sets; undecodable input and
// unmappable letters become the replacement of the target set.
std::string ConvertCharset(std::string_view bytes, const std::string& from, const std::string& to);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_CODE_PAGE_H_
