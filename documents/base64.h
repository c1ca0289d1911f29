#ifndef VELKARO_DOCUMENTS_BASE64_H_
#define VELKARO_DOCUMENTS_BASE64_H_

#include <string>
#include <string_view>

namespace velkaro {

// Decodes base64 text; blanks and line ends between the letters are
// skipped. Throws Error when any other letter falls outside the alphabet,
// padding stands anywhere but at the end, or the letters do not fill whole
// groups of four.
std::string DecodeBase64(std::string_view text);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_BASE64_H_
