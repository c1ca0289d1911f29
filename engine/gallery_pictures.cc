#include "engine/gallery_pictures.h"

#include "engine/side_by_side.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr uint64_t kLargePhoto = 1024 * 1024;

bool Converts(int32_t mode) { return mode >= 4 && mode <= 6; }

void CopyGallery(const std::vector<std::string>& image_files, const Path& work_folder,
                 const LogFunction& log, std::vector<std::string>& extensions) {
  for (size_t i = 0; i < image_files.size(); ++i) {
    const std::string& source = image_files[i];
    extensions.push_back(FileExtension(source));
    Path destination = work_folder / (std::to_string(i) + "." + extensions.back());
    // A path without "." in its file name has no extension that can name a
    // file; copying it would aim into a folder that is not there.
    if (destination.parent_path() != work_folder) {
      throw Error("Can not copy file " + source + " to " + destination.string());
    }
    CopyBookFile(source, destination);
    log("Create file " + destination.string() + " from " + source);
    const uint64_t size = FileSizeOf(destination);
    if (size > kLargePhoto) {
      log("Warning: picture " + source + " is larger than 1 MB (" + std::to_string(size) +
          " bytes); the phone may not be able to show it");
    }
  }
}

void ConvertGallery(const std::vector<std::string>& image_files, const PictureImport& import,
                    const Path& work_folder, const LogFunction& log,
                    std::vector<std::string>& extensions) {
  auto base = [&](size_t i) { return (work_folder / std::to_string(i)).string(); };
  std::vector<BroughtPicture> brought(image_files.size());
  const auto failures = RunSideBySide(image_files.size(), [&](size_t i) {
    brought[i] = ConvertForMode(import, image_files[i], base(i));
  });
  for (size_t i = 0; i < image_files.size(); ++i) {
    if (failures[i]) std::rethrow_exception(failures[i]);
    for (const std::string& warning : brought[i].warnings) log("ImageMagick: " + warning);
    log("Resize and convert image " + image_files[i] + " to " + base(i) + brought[i].extension +
        " (" + std::to_string(brought[i].size) + " bytes)");
    extensions.push_back(brought[i].extension.substr(1));
  }
}

}  // namespace

std::vector<std::string> CopyGalleryPictures(const std::vector<std::string>& image_files,
                                             const PictureImport& import, const Path& work_folder,
                                             const LogFunction& log) {
  std::vector<std::string> extensions;
  if (Converts(import.mode)) {
    ConvertGallery(image_files, import, work_folder, log, extensions);
  } else {
    CopyGallery(image_files, work_folder, log, extensions);
  }
  return extensions;
}

}  // namespace velkaro
