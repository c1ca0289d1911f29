#ifndef VELKARO_ARCHIVE_FOLDER_WALKER_H_
#define VELKARO_ARCHIVE_FOLDER_WALKER_H_

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace velkaro {

// Bits of the Windows file attribute word, the archive's external attributes.
inline constexpr uint32_t kReadOnlyAttribute = 0x01;
inline constexpr uint32_t kHiddenAttribute = 0x02;
inline constexpr uint32_t kFolderAttribute = 0x10;
inline constexpr uint32_t kArchiveAttribute = 0x20;

// The search attributes a build packs with (10431): read-only, hidden,
// system, volume label, folder and archive (0x3F), normal (0x80), compressed
// (0x800) and not content-indexed (0x2000), which is every kind of entry.
inline constexpr uint32_t kEveryEntryAttributes = 0x28BF;

// A file or folder to pack.
struct FoundEntry {
  Path path;         // where it lies
  std::string name;  // relative to the base folder, "/" separators; a folder's ends with "/"
  bool is_folder = false;
  uint32_t attributes = 0;  // the attribute word read when it was found
  std::time_t modified = 0;
  uint64_t size = 0;    // when it was found; a file may change before it is packed
  uint64_t device = 0;  // with inode: which file it is, whatever the path
  uint64_t inode = 0;
};

// Lists what the mask selects in `base` (a mask may name a subfolder of it):
// the folder's own files, then each subfolder's entry followed by all of its
// contents, depth first. Names are sorted by their bytes within a folder.
// Files are taken when their attribute word shares a bit with the search
// attributes (or is zero); subfolders only when the folder bit is searched.
// Regular files behind symbolic links are taken; folders behind them are not
// entered, so a link loop cannot trap the walk. An excluded folder is left
// out with all it holds.
std::vector<FoundEntry> FindEntries(const Path& base, const std::string& mask,
                                    uint32_t search_attributes,
                                    const std::function<bool(const FoundEntry&)>& excluded);

}  // namespace velkaro

#endif  // VELKARO_ARCHIVE_FOLDER_WALKER_H_
