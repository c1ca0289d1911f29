#ifndef VELKARO_ENGINE_GALLERY_PICTURES_H_
#define VELKARO_ENGINE_GALLERY_PICTURES_H_

#include <string>
#include <vector>

#include "engine/build_steps.h"

namespace velkaro {

// Copies picture i of a photo book into the work folder as i + "." + its
// extension, unchanged. A picture that cannot be copied fails the build.
void CopyGalleryPictures(const std::vector<std::string>& image_files, const Path& work_folder,
                         const LogFunction& log);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_GALLERY_PICTURES_H_
