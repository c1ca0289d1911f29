#ifndef VELKARO_IMAGING_PICTURE_SIZE_H_
#define VELKARO_IMAGING_PICTURE_SIZE_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/files.h"

namespace velkaro {

struct PictureSize {
  uint64_t width = 0;
  uint64_t height = 0;
};

// The size in pixels that a picture's header gives, read without decoding
// the picture; nothing when the header does not say. `coder` is "png",
// "jpeg", "gif" or "bmp".
std::optional<PictureSize> ReadPictureSize(InputFile& picture, std::string_view coder);

}  // namespace velkaro

#endif  // VELKARO_IMAGING_PICTURE_SIZE_H_
