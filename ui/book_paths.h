#ifndef VELKARO_UI_BOOK_PATHS_H_
#define VELKARO_UI_BOOK_PATHS_H_

#include <filesystem>

#include "engine/velkaro.h"

namespace velkaro {

// The window keeps a book's file paths (source text, splash, icon, photos)
// whole; its project file holds them relative to the file's own folder, as
// the command line reads them when run from there.

// Relative paths made whole against `folder`; empty paths stay empty.
void ResolveBookPaths(TVelkaro& book, const std::filesystem::path& folder);
// Paths inside `folder` made relative to it; paths elsewhere stay whole.
void RelateBookPaths(TVelkaro& book, const std::filesystem::path& folder);

}  // namespace velkaro

#endif  // VELKARO_UI_BOOK_PATHS_H_
