#include <string_view>

#include "engine/velkaro.h"
#include "platform/files.h"

namespace velkaro {

// Takes the first PNG or JPEG format the picture is offered in.
std::string TVelkaro::SaveClipboardPicture(const PictureSource& clipboard,
                                           const std::string& folder, int number) {
  for (const PictureFormat& format : clipboard) {
    const std::string_view extension = format.name == "PNG"    ? "png"
                                       : format.name == "JFIF" ? "jpg"
                                                               : "";
    if (extension.empty()) continue;
    const std::string file = std::to_string(number) + "." + std::string(extension);
    const std::string path = (Path(folder) / ("tmp" + file)).string();
    WriteWholeFile(path, format.data);
    AddLog("Image " + file + " saved (" + std::to_string(format.data.size()) + " bytes)");
    return path;
  }
  AddLog("Can't find picture with supported format");
  return "";
}

}  // namespace velkaro
