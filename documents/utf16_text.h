#ifndef VELKARO_DOCUMENTS_UTF16_TEXT_H_
#define VELKARO_DOCUMENTS_UTF16_TEXT_H_

#include <string>
#include <string_view>

namespace velkaro {

// Appends UTF-8 text as UTF-16 letters (code points past 0xFFFF as surrogate
// pairs); a malformed byte becomes U+FFFD. Returns the number appended.
size_t AppendUtf8(std::string_view utf8, std::u16string& text);

// How many UTF-16 letters AppendUtf8 makes of well-formed UTF-8 text.
size_t Utf16Length(std::string_view utf8);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_UTF16_TEXT_H_
