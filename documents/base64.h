#ifndef VELKARO_DOCUMENTS_BASE64_H_
#define VELKARO_DOCUMENTS_BASE64_H_

#include <string>
#include <string_view>

namespace velkaro {

// Decodes base64 text; blanks between the letters do not matter. Decoding
// is lenient where real books are careless: padding may be missing at the
// end, and "=" beyond a group's padding (lines of "=") is passed over.
// Throws Error for a letter outside the alphabet or a group of one letter.
std::string DecodeBase64(std::string_view text);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_BASE64_H_
