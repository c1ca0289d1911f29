#include "platform/files.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "platform/io_error.h"

namespace velkaro {
namespace {

// Retries writes cut short by signals or partial transfers.
void WriteAll(int fd, const char* data, size_t size, off_t offset, bool positioned) {
  while (size > 0) {
    ssize_t n = positioned ? pwrite(fd, data, size, offset) : write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowIoError(errno);
    }
    data += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
}

FileStatus StatusFrom(const struct stat& st) {
  FileStatus status;
  status.kind = S_ISREG(st.st_mode)   ? FileKind::kRegular
                : S_ISDIR(st.st_mode) ? FileKind::kFolder
                : S_ISLNK(st.st_mode) ? FileKind::kLink
                                      : FileKind::kOther;
  status.size = static_cast<uint64_t>(st.st_size);
  status.modified = st.st_mtime;
  status.owner_writable = (st.st_mode & S_IWUSR) != 0;
  status.device = st.st_dev;
  status.inode = st.st_ino;
  return status;
}

// Exchanges what two names stand for in one step; 0 or the error number.
int SwapNames(const Path& a, const Path& b) {
  return renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0 ? 0 : errno;
}

int OpenForWriting(const Path& path, WriteMode mode) {
  if (mode == WriteMode::kOver) return open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (unlink(path.c_str()) != 0 && errno != ENOENT) return -1;
  // A name planted again meanwhile makes the open fail rather than be followed.
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

}  // namespace

// Opened without waiting, so a pipe without a writer cannot hang the build;
// only regular files with a known size are read, so neither can a device
// that never ends.
InputFile::InputFile(const Path& path)
    : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {
  if (fd_ < 0) ThrowIoError(errno);
  struct stat st;
  struct statfs fs;
  if (fstat(fd_, &st) != 0 || fstatfs(fd_, &fs) != 0) {
    const int error = errno;
    close(fd_);
    ThrowIoError(error);
  }
  if (!S_ISREG(st.st_mode) || fs.f_type == PROC_SUPER_MAGIC || fs.f_type == SYSFS_MAGIC) {
    close(fd_);
    throw Error(path.string() + (S_ISDIR(st.st_mode) ? " is a folder" : " is not a regular file"));
  }
  size_ = static_cast<uint64_t>(st.st_size);
}

InputFile::~InputFile() { close(fd_); }

size_t InputFile::Read(void* data, size_t size) {
  for (;;) {
    ssize_t n = read(fd_, data, size);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) ThrowIoError(errno);
  }
}

size_t InputFile::ReadUpTo(void* data, size_t size) {
  char* const bytes = static_cast<char*>(data);
  size_t done = 0;
  while (done < size) {
    const size_t n = Read(bytes + done, size - done);
    if (n == 0) break;
    done += n;
  }
  return done;
}

void InputFile::Seek(uint64_t offset) {
  if (lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) ThrowIoError(errno);
}

std::string ReadFileBytes(const Path& path) {
  InputFile in(path);
  std::string bytes(in.size(), '\0');
  bytes.resize(in.ReadUpTo(bytes.data(), bytes.size()));  // the file may have shrunk
  return bytes;
}

uint64_t FileSizeOf(const Path& path) { return InputFile(path).size(); }

void CopyFileOver(const Path& from, const Path& to) {
  InputFile in(from);
  OutputFile out(to);
  char buffer[1 << 16];
  while (size_t n = in.Read(buffer, sizeof buffer)) out.Write(buffer, n);
  out.Close();
}

void WriteWholeFile(const Path& path, std::string_view bytes, WriteMode mode) {
  OutputFile out(path, mode);
  out.Write(bytes);
  out.Close();
}

void RenameFile(const Path& from, const Path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) ThrowIoError(errno);
}

bool RemoveFile(const Path& path) { return unlink(path.c_str()) == 0; }

void RenameTogether(const Path& first, const Path& first_to, const Path& second,
                    const Path& second_to) {
  // Swapping keeps the old first file under the first name, ready to come back.
  const int swap_error = SwapNames(first, first_to);
  if (swap_error != 0) RenameFile(first, first_to);
  try {
    RenameFile(second, second_to);
  } catch (const Error&) {
    if (swap_error == 0) {
      SwapNames(first, first_to);
    } else if (swap_error == ENOENT) {
      std::rename(first_to.c_str(), first.c_str());  // there was no old first file
    }
    throw;
  }
  if (swap_error == 0) RemoveFile(first);
}

size_t LongestFileName(const Path& folder) {
  const long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
  return longest > 0 ? static_cast<size_t>(longest) : NAME_MAX;
}

FileStatus StatusOf(const Path& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? StatusFrom(st) : FileStatus();
}

FileStatus LinkStatusOf(const Path& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? StatusFrom(st) : FileStatus();
}

bool AppendToFile(const Path& path, std::string_view bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  try {
    WriteAll(fd, bytes.data(), bytes.size(), 0, false);
  } catch (const Error&) {
    ok = false;
  }
  return close(fd) == 0 && ok;
}

// An existing file is written over and cut to the new length at the end,
// rather than truncated first: on common file systems that is many times
// cheaper for the book files that every part writes again.
OutputFile::OutputFile(const Path& path, WriteMode mode) : fd_(OpenForWriting(path, mode)) {
  if (fd_ < 0) ThrowIoError(errno);
  struct stat st;
  if (fstat(fd_, &st) != 0) {
    const int error = errno;
    close(fd_);
    ThrowIoError(error);
  }
  old_size_ = static_cast<uint64_t>(st.st_size);
}

OutputFile::~OutputFile() {
  if (fd_ < 0) return;
  if (old_size_ > position_) (void)ftruncate(fd_, static_cast<off_t>(position_));
  close(fd_);
}

void OutputFile::CutOldTail() {
  if (old_size_ <= position_) return;
  if (ftruncate(fd_, static_cast<off_t>(position_)) != 0) ThrowIoError(errno);
  old_size_ = position_;
}

void OutputFile::Write(const void* data, size_t size) {
  WriteAll(fd_, static_cast<const char*>(data), size, 0, false);
  position_ += size;
}

void OutputFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  WriteAll(fd_, static_cast<const char*>(data), size, static_cast<off_t>(offset), true);
}

void OutputFile::StartWriteback() {
  CutOldTail();
  (void)sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

void OutputFile::Sync() {
  CutOldTail();
  if (fdatasync(fd_) != 0) ThrowIoError(errno);
}

void OutputFile::Close() {
  CutOldTail();
  int fd = fd_;
  fd_ = -1;
  if (fd >= 0 && close(fd) != 0) ThrowIoError(errno);
}

}  // namespace velkaro
