#ifndef VELKARO_PLATFORM_FILES_H_
#define VELKARO_PLATFORM_FILES_H_

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace velkaro {

using Path = std::filesystem::path;

// Whole-file helpers; each throws Error with the input/output message.
std::string ReadFileBytes(const Path& path);
uint64_t FileSizeOf(const Path& path);
void CopyFileOver(const Path& from, const Path& to);

enum class WriteMode {
  kOver,     // an existing file is written over in place
  kReplace,  // a new file takes the name; a link of that name is replaced, not followed
};

// Writes `bytes` as the whole content of a file.
void WriteWholeFile(const Path& path, std::string_view bytes, WriteMode mode = WriteMode::kOver);

// Renames a file, replacing one of the new name; throws Error with the
// input/output message.
void RenameFile(const Path& from, const Path& to);

// Deletes a file or a link, never a folder. False when nothing was deleted;
// the caller decides whether that matters.
bool RemoveFile(const Path& path);

// Renames two files into place as a pair: when the second rename fails, the
// first name gets back what it held before (where the file system can swap
// names), so an old pair is never mixed with a new one. Throws Error with the
// input/output message of the failed rename.
void RenameTogether(const Path& first, const Path& first_to, const Path& second,
                    const Path& second_to);

// The longest file name the folder's file system takes, in bytes.
size_t LongestFileName(const Path& folder);

enum class FileKind { kMissing, kRegular, kFolder, kLink, kOther };

// What the file system tells about a path; kMissing also when it cannot be
// examined at all.
struct FileStatus {
  FileKind kind = FileKind::kMissing;
  uint64_t size = 0;
  std::time_t modified = 0;
  bool owner_writable = false;
  uint64_t device = 0;  // with the inode: which file it is, whatever the path
  uint64_t inode = 0;
};

// The status of what a path names, symbolic links followed.
FileStatus StatusOf(const Path& path);
// The status of a path itself: a symbolic link is kLink.
FileStatus LinkStatusOf(const Path& path);

// Appends bytes to a file, creating it when missing. Returns false when the
// file cannot be opened or written; the caller decides whether that matters.
bool AppendToFile(const Path& path, std::string_view bytes);

// A regular file opened for reading, its size taken from the open file.
// Throws Error with the input/output message when it cannot be opened, and
// says so when the path names a folder, a pipe, a device or a kernel file.
class InputFile {
 public:
  explicit InputFile(const Path& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  uint64_t size() const { return size_; }
  // Reads up to `size` bytes; 0 at the end of the file.
  size_t Read(void* data, size_t size);
  // Reads `size` bytes, or as many as there are before the end of the file;
  // returns how many it read.
  size_t ReadUpTo(void* data, size_t size);
  // Reads exactly `size` bytes; false when the file ends first.
  bool ReadAll(void* data, size_t size) { return ReadUpTo(data, size) == size; }
  // Moves the reading position to `offset`; past the end, Read gives 0.
  void Seek(uint64_t offset);
  // The descriptor, for a reader that opens the same file again through
  // /proc/self/fd without looking at its name.
  int fd() const { return fd_; }

 private:
  int fd_;
  uint64_t size_ = 0;
};

// A file opened for writing: created, or replaced by what is written (the
// old bytes past the new end are cut off). Every call checks the operating
// system's answer and throws Error on failure.
class OutputFile {
 public:
  explicit OutputFile(const Path& path, WriteMode mode = WriteMode::kOver);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(const void* data, size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  void WriteAt(uint64_t offset, const void* data, size_t size);
  uint64_t Position() const { return position_; }
  // Asks the system to begin writing the bytes to the disk without waiting,
  // so that a later Sync finds little left to do. A hint: it never fails.
  void StartWriteback();
  // Forces the written bytes to the disk.
  void Sync();
  void Close();
  int fd() const { return fd_; }

 private:
  void CutOldTail();

  int fd_ = -1;
  uint64_t position_ = 0;
  uint64_t old_size_ = 0;
};

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_FILES_H_
