#include "archive/folder_walker.h"

#include <optional>

#include "platform/file_mask.h"
#include "platform/folders.h"

namespace velkaro {
namespace {

// Reads a name of the folder without following a folder link: nothing for
// what is neither a regular file nor a folder.
std::optional<FoundEntry> Examine(const Path& folder, const std::string& name,
                                  const std::string& prefix) {
  FoundEntry entry;
  entry.path = folder / name;
  FileStatus status = LinkStatusOf(entry.path);
  if (status.kind == FileKind::kLink) {
    // A dangling link stays a file: opening it fails like any unreadable file.
    const FileStatus target = StatusOf(entry.path);
    if (target.kind != FileKind::kMissing) {
      if (target.kind != FileKind::kRegular) return std::nullopt;
      status = target;
    }
  } else if (status.kind == FileKind::kFolder) {
    entry.is_folder = true;
  } else if (status.kind != FileKind::kRegular) {
    return std::nullopt;  // vanished meanwhile, or neither file nor folder
  }
  entry.name = prefix + name + (entry.is_folder ? "/" : "");
  entry.attributes = entry.is_folder ? kFolderAttribute : kArchiveAttribute;
  if (!entry.is_folder && !status.owner_writable) entry.attributes |= kReadOnlyAttribute;
  if (name[0] == '.') entry.attributes |= kHiddenAttribute;
  entry.modified = status.modified;
  entry.size = status.size;
  entry.device = status.device;
  entry.inode = status.inode;
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
    for (const std::string& name : SortedFolderNames(folder)) {
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
