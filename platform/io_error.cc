#include "platform/io_error.h"

#include <cerrno>
#include <new>

namespace velkaro {

std::string IoMessage(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
      return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return "File access denied";
    case ENOSPC:
    case EDQUOT:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(error_number);
  }
}

void ThrowIoError(int error_number) { throw Error(IoMessage(error_number)); }

std::string MessageOf(const std::exception& failure) {
  if (dynamic_cast<const std::bad_alloc*>(&failure)) return "Not enough memory";
  return failure.what();
}

}  // namespace velkaro
