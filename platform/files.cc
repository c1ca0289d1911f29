#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

class InputFd {
 public:
  explicit InputFd(const Path& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) ThrowIoError(errno);
    struct stat st;
    if (fstat(fd_, &st) != 0) ThrowIoError(errno);
    if (S_ISDIR(st.st_mode)) {
      close(fd_);
      ThrowIoError(EISDIR);
    }
    size_ = static_cast<uint64_t>(st.st_size);
  }
  ~InputFd() { close(fd_); }
  int fd() const { return fd_; }
  uint64_t size() const { return size_; }

 private:
  int fd_;
  uint64_t size_ = 0;
};

}  // namespace

std::string ReadFileBytes(const Path& path) {
  InputFd in(path);
  std::string bytes(in.size(), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = read(in.fd(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowIoError(errno);
    if (n == 0) break;  // the file shrank while we read it
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

uint64_t FileSizeOf(const Path& path) { return InputFd(path).size(); }

void CopyFileOver(const Path& from, const Path& to) {
  InputFd in(from);
  OutputFile out(to);
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = read(in.fd(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowIoError(errno);
    if (n == 0) break;
    out.Write(buffer, static_cast<size_t>(n));
  }
  out.Close();
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

OutputFile::OutputFile(const Path& path)
    : fd_(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {
  if (fd_ < 0) ThrowIoError(errno);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) close(fd_);
}

void OutputFile::Write(const void* data, size_t size) {
  WriteAll(fd_, static_cast<const char*>(data), size, 0, false);
  position_ += size;
}

void OutputFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  WriteAll(fd_, static_cast<const char*>(data), size, static_cast<off_t>(offset), true);
}

void OutputFile::Sync() {
  if (fdatasync(fd_) != 0) ThrowIoError(errno);
}

void OutputFile::Close() {
  int fd = fd_;
  fd_ = -1;
  if (fd >= 0 && close(fd) != 0) ThrowIoError(errno);
}

}  // namespace velkaro
