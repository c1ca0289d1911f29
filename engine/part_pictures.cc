#include "engine/part_pictures.h"

#include "engine/markers.h"

namespace velkaro {

void ImportPartPictures(std::u16string& part, const std::vector<std::string>& pictures,
                        int32_t image_mode, const Path& work_folder, const LogFunction& log) {
  if (image_mode < 1 || image_mode > 3) return;
  for (size_t i = 0; i + kMarkerLength <= part.size(); ++i) {
    if (!IsMarkerAt(part, i)) continue;
    const int number = MarkerNumber(part[i + 1]);
    const std::string_view extension = PictureExtension(MarkerKind(part[i + 1]));
    if (extension.empty() || number < 1 || static_cast<size_t>(number) > pictures.size()) continue;
    const std::string& source = pictures[number - 1];
    const Path target = work_folder / ("pic" + std::to_string(number) + std::string(extension));
    CopyBookFile(source, target);
    log("Copy image file " + source + " to " + target.string());
  }
}

}  // namespace velkaro
