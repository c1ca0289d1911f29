#ifndef VELKARO_PLATFORM_FOLDERS_H_
#define VELKARO_PLATFORM_FOLDERS_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace velkaro {

// Creates one folder level; true when the folder is there afterwards.
bool MakeFolder(const Path& folder);

// The names in a folder, "." and ".." left out, sorted by their bytes.
// Throws Error with the input/output message when it cannot be listed.
std::vector<std::string> SortedFolderNames(const Path& folder);

// Deletes the files in `folder` whose names match the wildcard `mask`;
// subfolders and files that cannot be deleted stay, silently, and so does a
// folder that cannot be listed.
void DeleteByMask(const Path& folder, std::string_view mask);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_FOLDERS_H_
