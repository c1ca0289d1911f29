#ifndef VELKARO_IMAGING_MAGICK_CONVERTER_H_
#define VELKARO_IMAGING_MAGICK_CONVERTER_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/image_converter.h"

namespace velkaro {

// ImageMagick's convert command run in process through MagickCommandGenesis,
// so that option words mean what they mean on its command line. The source
// must be a PNG, JPEG, GIF or BMP file; only its first frame is read. Option
// words pass CheckOptionWords; resource limits keep a hostile picture from
// exhausting the machine.
class MagickConverter : public ImageConverter {
 public:
  // Starts ImageMagick (once per process); throws Error("Picture conversion
  // with ImageMagick is not available") when it cannot be started.
  MagickConverter();
  std::vector<std::string> Convert(const std::vector<std::string>& arguments) override;
};

// The factory that the shell and the window install into TVelkaro.
std::shared_ptr<ImageConverter> CreateMagickConverter();

}  // namespace velkaro

#endif  // VELKARO_IMAGING_MAGICK_CONVERTER_H_
