#include "engine/part_pictures.h"

namespace velkaro {
namespace {

const char* ExtensionOfType(int type) {
  switch (type) {
    case 1:
      return ".jpg";
    case 2:
      return ".png";
    case 3:
      return ".gif";
    case 4:
      return ".bmp";
    default:
      return nullptr;
  }
}

}  // namespace

void ImportPartPictures(std::u16string& part, const std::vector<std::string>& pictures,
                        int32_t image_mode, const Path& work_folder, const LogFunction& log) {
  if (image_mode < 1 || image_mode > 3) return;
  for (size_t i = 2; i < part.size(); ++i) {
    if (part[i] != 2 || part[i - 2] != 1) continue;
    const int number = part[i - 1] & 0xFFF;
    const char* extension = ExtensionOfType(part[i - 1] >> 12);
    if (!extension || number < 1 || static_cast<size_t>(number) > pictures.size()) continue;
    const std::string& source = pictures[number - 1];
    const Path target = work_folder / ("pic" + std::to_string(number) + extension);
    CopyBookFile(source, target);
    log("Copy image file " + source + " to " + target.string());
  }
}

}  // namespace velkaro
