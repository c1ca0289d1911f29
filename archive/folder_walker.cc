#include "archive/folder_walker.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>
#include <optional>

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

// Reads a name of the folder without following a folder link: nothing for
// what is neither a regular file nor a folder.
std::optional<FoundEntry> Examine(const Path& folder, const std::string& name,
                                  const std::string& prefix) {
  FoundEntry entry;
  entry.path = folder / name;
  struct stat st;
  if (lstat(entry.path.c_str(), &st) != 0) return std::nullopt;  // vanished meanwhile
  if (S_ISLNK(st.st_mode)) {
    struct stat target;
    // A dangling link stays a file: opening it fails like any unreadable file.
    if (stat(entry.path.c_str(), &target) == 0) {
      if (!S_ISREG(target.st_mode)) return std::nullopt;
      st = target;
    }
  } else if (S_ISDIR(st.st_mode)) {
    entry.is_folder = true;
  } else if (!S_ISREG(st.st_mode)) {
    return std::nullopt;
  }
  entry.name = prefix + name + (entry.is_folder ? "/" : "");
  entry.attributes = entry.is_folder ? kFolderAttribute : kArchiveAttribute;
  if (!entry.is_folder && (st.st_mode & S_IWUSR) == 0) entry.attributes |= kReadOnlyAttribute;
  if (name[0] == '.') entry.attributes |= kHiddenAttribute;
  entry.modified = st.st_mtime;
  entry.device = st.st_dev;
  entry.inode = st.st_ino;
  return entry;
}

class Walker {
 public:
  Walker(uint32_t search_attributes, const std::function<bool(const FoundEntry&)>& excluded)
      : file_attributes_(search_attributes & ~kFolderAttribute),
        recurse_((search_attributes & kFolderAttribute) != 0),
        excluded_(excluded) {}

  void Walk(const Path& folder, const std::string& prefix, const std::string& mask) {
    std::vector<FoundEntry> folders;
    for (const std::string& name : SortedNames(folder)) {
      if (!MatchesMask(mask, name)) continue;
      std::optional<FoundEntry> found = Examine(folder, name, prefix);
      if (!found || excluded_(*found)) continue;
      if (!found->is_folder && Searched(*found)) {
        entries_.push_back(std::move(*found));
      } else if (found->is_folder && recurse_) {
        folders.push_back(std::move(*found));
      }
    }
    for (const FoundEntry& sub : folders) {
      entries_.push_back(sub);
      Walk(sub.path, sub.name, "*.*");
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
  const Path base_folder = base.empty() ? Path(".") : base;
  const Path folder = base_folder / mask_path.parent_path();
  Walker walker(search_attributes, excluded);
  walker.Walk(folder, PrefixOf(base_folder, folder), mask_path.filename().string());
  return walker.TakeEntries();
}

}  // namespace velkaro
