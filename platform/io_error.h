#ifndef VELKARO_PLATFORM_IO_ERROR_H_
#define VELKARO_PLATFORM_IO_ERROR_H_

#include <stdexcept>
#include <string>

namespace velkaro {

// A failure that carries one message line, the way every build step reports.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The general input/output messages: "File not found", "File access denied",
// "Disk full", or "I/O error %d" with the operating system's error number.
std::string IoMessage(int error_number);

// Throws Error with IoMessage(error_number).
[[noreturn]] void ThrowIoError(int error_number);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_IO_ERROR_H_
