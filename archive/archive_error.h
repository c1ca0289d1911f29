#ifndef VELKARO_ARCHIVE_ARCHIVE_ERROR_H_
#define VELKARO_ARCHIVE_ARCHIVE_ERROR_H_

#include <cstdio>
#include <string>

#include "platform/io_error.h"

namespace velkaro {

// The writer's own failures carry their number as a five-digit suffix:
// "File name is blank. ... - Native error: 00010".
[[noreturn]] inline void ThrowArchiveError(const std::string& message, int number) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, " - Native error: %05d", number);
  throw Error(message + suffix);
}

// The numbers of the failures this writer can meet.
inline constexpr int kBlankFileName = 10;
inline constexpr int kCannotOpenSource = 33;
inline constexpr int kInvalidCompressedSize = 34;

}  // namespace velkaro

#endif  // VELKARO_ARCHIVE_ARCHIVE_ERROR_H_
