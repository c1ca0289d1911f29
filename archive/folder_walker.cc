#include "archive/folder_walker.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>

#include "platform/io_error.h"

namespace velkaro {
namespace {

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool Wildcard(std::string_view mask, std::string_view name) {
  // Greedy match with backtracking to the last "*".
  size_t m = 0, n = 0, star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || SameLetter(mask[m], name[n]))) {
      ++m, ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      star_n = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<std::string> SortedNames(const Path& folder) {
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

// What a name stands for in the walk, read without following a folder link.
enum class Kind { kFile, kFolder, kOther };

struct Found {
  Kind kind = Kind::kOther;
  FoundEntry entry;
};

Found Examine(const Path& folder, const std::string& name, const std::string& prefix) {
  Found found;
  found.entry.path = folder / name;
  struct stat st;
  if (lstat(found.entry.path.c_str(), &st) != 0) return found;  // vanished meanwhile
  if (S_ISLNK(st.st_mode)) {
    struct stat target;
    // A dangling link stays a file: opening it fails like any unreadable file.
    if (stat(found.entry.path.c_str(), &target) == 0) {
      if (!S_ISREG(target.st_mode)) return found;
      st = target;
    }
    found.kind = Kind::kFile;
  } else if (S_ISREG(st.st_mode)) {
    found.kind = Kind::kFile;
  } else if (S_ISDIR(st.st_mode)) {
    found.kind = Kind::kFolder;
  } else {
    return found;
  }
  FoundEntry& entry = found.entry;
  entry.is_folder = found.kind == Kind::kFolder;
  entry.name = prefix + name + (entry.is_folder ? "/" : "");
  entry.attributes = entry.is_folder ? kFolderAttribute : kArchiveAttribute;
  if (!entry.is_folder && (st.st_mode & S_IWUSR) == 0) entry.attributes |= kReadOnlyAttribute;
  if (name[0] == '.') entry.attributes |= kHiddenAttribute;
  entry.modified = st.st_mtime;
  entry.device = st.st_dev;
  entry.inode = st.st_ino;
  return found;
}

class Walker {
 public:
  Walker(uint32_t search_attributes, const std::function<bool(const FoundEntry&)>& excluded)
      : file_attributes_(search_attributes & ~kFolderAttribute),
        recurse_((search_attributes & kFolderAttribute) != 0),
        excluded_(excluded) {}

  void Walk(const Path& folder, const std::string& prefix, const std::string& mask) {
    std::vector<Found> folders;
    for (const std::string& name : SortedNames(folder)) {
      if (!MatchesMask(mask, name)) continue;
      Found found = Examine(folder, name, prefix);
      if (found.kind == Kind::kFile && Searched(found.entry) && !excluded_(found.entry)) {
        entries_.push_back(std::move(found.entry));
      } else if (found.kind == Kind::kFolder && recurse_ && !excluded_(found.entry)) {
        folders.push_back(std::move(found));
      }
    }
    for (Found& sub : folders) {
      const std::string sub_prefix = sub.entry.name;
      const Path sub_path = sub.entry.path;
      entries_.push_back(std::move(sub.entry));
      Walk(sub_path, sub_prefix, "*.*");
    }
  }

  std::vector<FoundEntry> TakeEntries() { return std::move(entries_); }

 private:
  bool Searched(const FoundEntry& entry) const {
    return entry.attributes == 0 || (entry.attributes & file_attributes_) != 0;
  }

  const uint32_t file_attributes_;
  const bool recurse_;
  const std::function<bool(const FoundEntry&)>& excluded_;
  std::vector<FoundEntry> entries_;
};

// The name prefix of the folder that the mask points into: relative to the
// base when it lies inside it, else its full path without the root.
std::string PrefixOf(const Path& base, const Path& folder) {
  const Path normal = folder.lexically_normal();
  Path relative = normal.lexically_relative(base.lexically_normal());
  if (relative.empty() || *relative.begin() == "..") relative = normal.relative_path();
  std::string prefix = relative.generic_string();
  if (prefix == ".") prefix.clear();
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  return prefix;
}

}  // namespace

bool MatchesMask(std::string_view mask, std::string_view name) {
  if (Wildcard(mask, name)) return true;
  return name.find('.') == std::string_view::npos && Wildcard(mask, std::string(name) + ".");
}

std::vector<FoundEntry> FindEntries(const Path& base, const std::string& mask,
                                    uint32_t search_attributes,
                                    const std::function<bool(const FoundEntry&)>& excluded) {
  const Path mask_path(mask);
  const Path folder = base / mask_path.parent_path();
  Walker walker(search_attributes, excluded);
  walker.Walk(folder, PrefixOf(base, folder), mask_path.filename().string());
  return walker.TakeEntries();
}

}  // namespace velkaro
