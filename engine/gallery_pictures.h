#ifndef VELKARO_ENGINE_GALLERY_PICTURES_H_
#define VELKARO_ENGINE_GALLERY_PICTURES_H_

#include <string>
#include <vector>

#include "engine/build_steps.h"
#include "engine/picture_conversion.h"

namespace velkaro {

// Brings picture i of a photo book into the work folder as i + "." + its
// extension: modes 4 to 6 convert it as they do a text book's pictures
// (side by side), any other mode copies it unchanged and warns about a photo
// above 1 MB. Returns the extensions written, without the ".", for cfg.dat.
// A picture that cannot be brought fails the build.
std::vector<std::string> CopyGalleryPictures(const std::vector<std::string>& image_files,
                                             const PictureImport& import, const Path& work_folder,
                                             const LogFunction& log);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_GALLERY_PICTURES_H_
