#ifndef VELKARO_PLATFORM_FOLDER_LOCK_H_
#define VELKARO_PLATFORM_FOLDER_LOCK_H_

#include <filesystem>

namespace velkaro {

// An exclusive lock on a folder, held by this object, that other processes
// and other objects of this process see. It is taken on the folder itself,
// so it leaves no file behind.
class FolderLock {
 public:
  enum class Result { kTaken, kBusy, kUnopened };

  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // kBusy when someone else holds the folder, kUnopened when it is missing
  // or cannot be opened.
  Result Take(const std::filesystem::path& folder);
  // False when someone else holds the folder or it cannot be opened.
  bool TryLock(const std::filesystem::path& folder) { return Take(folder) == Result::kTaken; }
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_FOLDER_LOCK_H_
