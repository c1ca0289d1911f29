#ifndef VELKARO_ENGINE_PICTURE_CONVERSION_H_
#define VELKARO_ENGINE_PICTURE_CONVERSION_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image_converter.h"
#include "platform/files.h"

namespace velkaro {

// How a build brings pictures into the work folder.
struct PictureImport {
  int32_t mode = 0;  // the picture import mode, 0 to 6
  std::string png_options;
  std::string jpg_options;
  // A landscape book's reader turns its text a quarter turn clockwise;
  // its pictures are turned the same way, since the phone cannot turn them.
  bool turn = false;
  // Set for modes 4 to 6 and for turned pictures.
  ImageConverter* converter = nullptr;
};

// The words of an option string: separated by one or more blanks; an empty
// string gives one empty word. More than ten words fail the build.
std::vector<std::string> SplitOptionWords(const std::string& options);

// A picture written into the work folder: its extension (with the ".") and
// size, and what the converter warned about on the way.
struct BroughtPicture {
  std::string extension;
  uint64_t size = 0;
  std::vector<std::string> warnings;
};

// One conversion with the options of the destination's format (the PNG
// options for a name ending in ".png", else the JPEG ones), turned after them
// when the book asks. Returns the destination's size in bytes.
uint64_t ConvertPicture(const PictureImport& import, const std::string& source,
                        const Path& destination, std::vector<std::string>& warnings);

// Modes 4 to 6: converts to base + ".png" or ".jpg"; mode 4 makes both and
// keeps the smaller (the PNG when they are equal).
BroughtPicture ConvertForMode(const PictureImport& import, const std::string& source,
                              const std::string& base);

// Copy-only modes: the picture unchanged, or for a turned book turned and
// written in the format its extension names.
BroughtPicture CopyOrTurn(const PictureImport& import, const std::string& source,
                          const std::string& base, const std::string& extension);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PICTURE_CONVERSION_H_
