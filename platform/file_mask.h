#ifndef VELKARO_PLATFORM_FILE_MASK_H_
#define VELKARO_PLATFORM_FILE_MASK_H_

#include <string_view>

namespace velkaro {

// Whether a file or folder name matches a wildcard mask ("*", "?"), letter
// case aside, by the rules of Windows file masks: a name without "." is also
// tried with one added, so "*.*" matches every name.
bool MatchesMask(std::string_view mask, std::string_view name);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_FILE_MASK_H_
