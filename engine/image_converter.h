#ifndef VELKARO_ENGINE_IMAGE_CONVERTER_H_
#define VELKARO_ENGINE_IMAGE_CONVERTER_H_

#include <string>
#include <vector>

namespace velkaro {

// Converts pictures the way ImageMagick's "convert" command does, in process.
class ImageConverter {
 public:
  virtual ~ImageConverter() = default;
  // convert(source, words..., destination); throws Error on failure.
  virtual void Convert(const std::vector<std::string>& arguments) = 0;
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_IMAGE_CONVERTER_H_
