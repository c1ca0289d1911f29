#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velkaro {

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);  // closing releases the lock
}

FolderLock::Result FolderLock::Take(const std::filesystem::path& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Result::kUnopened;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return Result::kBusy;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
  return Result::kTaken;
}

}  // namespace velkaro
