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

// The message of any failure as a log line gives it: "Not enough memory" for
// an allocation that failed, whose own text ("std::bad_alloc") tells a reader
// nothing.
std::string MessageOf(const std::exception& failure);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_IO_ERROR_H_
