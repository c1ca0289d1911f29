#include "platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/file_mask.h"
#include "platform/io_error.h"

namespace velkaro {

bool MakeFolder(const Path& folder) {
  return StatusOf(folder).kind == FileKind::kFolder || mkdir(folder.c_str(), 0755) == 0;
}

std::vector<std::string> SortedFolderNames(const Path& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) ThrowIoError(errno);
  std::vector<std::string> names;
  while (const dirent* item = readdir(dir.get())) {
    std::string_view name = item->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void DeleteByMask(const Path& folder, std::string_view mask) {
  std::vector<std::string> names;
  try {
    names = SortedFolderNames(folder);
  } catch (const Error&) {
    return;
  }
  for (const std::string& name : names) {
    if (MatchesMask(mask, name)) RemoveFile(folder / name);  // a folder refuses
  }
}

}  // namespace velkaro
