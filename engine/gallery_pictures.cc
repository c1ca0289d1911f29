#include "engine/gallery_pictures.h"

#include "platform/io_error.h"

namespace velkaro {

void CopyGalleryPictures(const std::vector<std::string>& image_files, const Path& work_folder,
                         const LogFunction& log) {
  for (size_t i = 0; i < image_files.size(); ++i) {
    const std::string& source = image_files[i];
    Path destination = work_folder / (std::to_string(i) + "." + FileExtension(source));
    // A path without "." in its file name has no extension that can name a
    // file; copying it would aim into a folder that is not there.
    if (destination.parent_path() != work_folder) {
      throw Error("Can not copy file " + source + " to " + destination.string());
    }
    CopyBookFile(source, destination);
    log("Create file " + destination.string() + " from " + source);
  }
}

}  // namespace velkaro
