#ifndef VELKARO_PLATFORM_CHARSET_GUESS_H_
#define VELKARO_PLATFORM_CHARSET_GUESS_H_

#include <string>
#include <string_view>

namespace velkaro {

// The iconv name of the character set that a text's bytes most likely use
// ("WINDOWS-1251", "UTF-8"), judged from a sample of the bytes; "" when no
// guess can be made (for example from too few bytes).
std::string GuessCharset(std::string_view bytes);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_CHARSET_GUESS_H_
