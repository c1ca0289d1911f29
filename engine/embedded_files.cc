#include "engine/embedded_files.h"

#include <string_view>

namespace velkaro {
namespace {

const EmbeddedFile& FileWithKey(std::string_view key) {
  for (size_t i = 0; i < kEmbeddedFileCount; ++i) {
    if (key == kEmbeddedFiles[i].key) return kEmbeddedFiles[i];
  }
  // The build system embeds every key listed below; a miss is a build fault.
  std::abort();
}

}  // namespace

std::vector<PackageFile> EmbeddedMidletFiles(bool text_book) {
  std::vector<PackageFile> files;
  for (const char* name : {"point.png", "logo.png", "TBookCanvas.class", "TBookN1Canvas.class",
                           "TBookN2Canvas.class", "TBookCanvasInit.class"}) {
    files.push_back({name, &FileWithKey(name)});
  }
  files.push_back({"TBookMIDlet.class",
                   &FileWithKey(text_book ? "text/TBookMIDlet.class" : "photo/TBookMIDlet.class")});
  return files;
}

std::string Unscramble(const EmbeddedFile& file) {
  std::string bytes(file.size, '\0');
  for (size_t i = 0; i < file.size; ++i) {
    bytes[i] = static_cast<char>(file.scrambled[i] ^ (i & 0xFF));
  }
  return bytes;
}

}  // namespace velkaro
