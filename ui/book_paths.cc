#include "ui/book_paths.h"

#include <functional>

namespace velkaro {
namespace {

namespace fs = std::filesystem;

void ForEachBookPath(TVelkaro& book, const std::function<void(std::string&)>& change) {
  for (std::string* path : {&book.TextFileName, &book.SplashFileName, &book.IconFileName}) {
    if (!path->empty()) change(*path);
  }
  for (std::string& path : book.ImageFiles) {
    if (!path.empty()) change(path);
  }
}

}  // namespace

void ResolveBookPaths(TVelkaro& book, const fs::path& folder) {
  ForEachBookPath(book, [&](std::string& path) {
    if (fs::path(path).is_relative()) path = (folder / path).lexically_normal().string();
  });
}

void RelateBookPaths(TVelkaro& book, const fs::path& folder) {
  ForEachBookPath(book, [&](std::string& path) {
    const fs::path relative = fs::path(path).lexically_relative(folder);
    if (!relative.empty() && *relative.begin() != "..") path = relative.string();
  });
}

}  // namespace velkaro
