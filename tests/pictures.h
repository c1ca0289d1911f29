#ifndef VELKARO_TESTS_PICTURES_H_
#define VELKARO_TESTS_PICTURES_H_

// Pictures made and read back with MagickWand, for the tests of conversions.

#include <wand/MagickWand.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imaging/magick_converter.h"

namespace velkaro::testing {

// ImageMagick started as the program starts it: where the system has a
// policy of its own, ours can only be put in place before anything loads it.
inline void StartImageMagick() { CreateMagickConverter(); }

struct Picture {
  size_t width = 0, height = 0;
  std::string format;              // "PNG", "JPEG", ...; empty when unreadable
  std::vector<unsigned char> rgb;  // row by row
};

inline Picture ReadPicture(const std::string& bytes) {
  StartImageMagick();
  MagickWand* wand = NewMagickWand();
  Picture picture;
  if (MagickReadImageBlob(wand, bytes.data(), bytes.size()) == MagickTrue) {
    picture.width = MagickGetImageWidth(wand);
    picture.height = MagickGetImageHeight(wand);
    char* format = MagickGetImageFormat(wand);
    picture.format = format;
    MagickRelinquishMemory(format);
    picture.rgb.resize(picture.width * picture.height * 3);
    MagickExportImagePixels(wand, 0, 0, picture.width, picture.height, "RGB", CharPixel,
                            picture.rgb.data());
  }
  DestroyMagickWand(wand);
  return picture;
}

// Writes `width` x `height` RGB pixels, row by row, in the format the name's
// extension names.
inline void WritePicture(const std::filesystem::path& file, size_t width, size_t height,
                         const std::vector<unsigned char>& rgb) {
  StartImageMagick();
  std::filesystem::create_directories(file.parent_path());
  MagickWand* wand = NewMagickWand();
  MagickConstituteImage(wand, width, height, "RGB", CharPixel, rgb.data());
  MagickWriteImage(wand, file.c_str());
  DestroyMagickWand(wand);
}

}  // namespace velkaro::testing

#endif  // VELKARO_TESTS_PICTURES_H_
