#ifndef VELKARO_ARCHIVE_JAR_ARCHIVER_H_
#define VELKARO_ARCHIVE_JAR_ARCHIVER_H_

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/entry_deflater.h"
#include "archive/folder_walker.h"

namespace velkaro {

class OutputFile;

// Writes one JAR (a ZIP archive) of everything under a base folder: the
// folder's own files first, then each subfolder's entry and its contents.
// Entries are deflated at the compression mode's level, small files on all
// processors at once; the archive is the same whichever finishes first.
// Failures throw Error.
class TJarArchiver {
 public:
  TJarArchiver();
  ~TJarArchiver();

  std::string FileName;     // the archive to write
  std::string BaseDir;      // entry names are paths relative to it
  int CompressionMode = 1;  // the deflate level, 1 (fastest) to 9 (smallest)
  // The bytes of files under BaseDir that the caller wrote and still holds,
  // by path: packed from memory rather than read back. A held file must
  // still hold exactly these bytes; one whose size differs is read anyway.
  const std::unordered_map<std::string, std::string>* HeldFiles = nullptr;

  // Creates the archive file, replacing one of that name (a link of that
  // name is replaced, not followed).
  void StartNewArchive();
  // Packs every file under BaseDir that the mask and attribute word select.
  void AddFolderContents(const std::string& mask = "*.*",
                         uint32_t search_attributes = kEveryEntryAttributes,
                         const std::string& exclusion_mask = "");
  // Completes the archive with its central directory, flushes it to the disk
  // and closes it.
  void FinishArchive();
  // Completes the archive likewise but hands back its file still open, its
  // writeback begun, for the caller to sync and close.
  std::unique_ptr<OutputFile> FinishArchiveUnsynced();

  // What each entry of the archive took, headers and name included, in
  // entry order.
  struct PackedEntry {
    std::string name;
    uint64_t size;
  };
  const std::vector<PackedEntry>& Packed() const { return packed_; }

 private:
  // A small file's entry data, deflated ahead of its turn in the archive.
  struct PreparedFile {
    bool ready = false;  // false: packed in its turn (folders, large files)
    uint64_t size = 0;
    uint32_t crc = 0;
    std::string data;
    std::exception_ptr failure;  // thrown in its turn
  };
  // A held file's entry data with the bytes it was made from.
  struct DeflatedHeldFile {
    std::string source;
    PreparedFile prepared;
  };

  void AddEntries(std::span<const FoundEntry> entries);
  std::vector<PreparedFile> PrepareFiles(std::span<const FoundEntry> entries);
  void PrepareFile(const FoundEntry& file, EntryDeflater& deflater, PreparedFile& prepared) const;
  const std::string* HeldBytesOf(const FoundEntry& file) const;
  void RememberDeflatedHeldFiles(std::span<const FoundEntry> entries,
                                 const std::vector<PreparedFile>& prepared);
  void CheckRoomFor(const FoundEntry& entry) const;
  void AddFolder(const FoundEntry& folder);
  void AddFile(const FoundEntry& file);
  void AddPreparedFile(const FoundEntry& file, const PreparedFile& prepared);
  void WriteFileEntry(const FoundEntry& file, uint64_t size,
                      const std::function<DeflatedEntry()>& write_data);

  std::unique_ptr<OutputFile> out_;
  std::vector<std::unique_ptr<EntryDeflater>> deflaters_;  // one per processor used
  // Kept from one archive to the next: a file the caller holds unchanged
  // through many archives (the phone app's classes) is deflated only once.
  std::unordered_map<std::string, DeflatedHeldFile> deflated_held_;
  std::string central_directory_;  // built in memory, written after the last entry
  std::vector<PackedEntry> packed_;
  uint64_t entry_count_ = 0;
  uint64_t archive_device_ = 0;  // with the inode: the archive itself, never packed
  uint64_t archive_inode_ = 0;
};

// The bytes a file of that name adds to an archive when its data deflates to
// `packed_size` bytes: its two headers, its name in each, and the data.
uint64_t ArchiveEntrySize(const std::string& name, uint64_t packed_size);

// Packs everything under `folder` into a new archive at `archive`, as a build
// does: "*.*" with kEveryEntryAttributes and no exclusion.
void PackFolder(const std::string& archive, const std::string& folder);
// The same with the one archiver a build keeps for all its packages, so their
// buffers are made once, and the files it holds (see HeldFiles); returns the
// archive as FinishArchiveUnsynced does.
std::unique_ptr<OutputFile> PackFolder(TJarArchiver& jar, const std::string& archive,
                                       const std::string& folder,
                                       const std::unordered_map<std::string, std::string>* held);

}  // namespace velkaro

#endif  // VELKARO_ARCHIVE_JAR_ARCHIVER_H_
