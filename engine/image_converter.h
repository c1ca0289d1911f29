#ifndef VELKARO_ENGINE_IMAGE_CONVERTER_H_
#define VELKARO_ENGINE_IMAGE_CONVERTER_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velkaro {

// Converts pictures the way ImageMagick's "convert" command does, in process.
// Calls may come from several threads at once.
class ImageConverter {
 public:
  virtual ~ImageConverter() = default;
  // convert(source, words..., destination). Returns the converter's warnings,
  // one line each; throws Error with its message when the conversion fails.
  virtual std::vector<std::string> Convert(const std::vector<std::string>& arguments) = 0;
};

// Makes the converter of one build; throws Error when it cannot be started.
// The shell and the window install one into TVelkaro::CreateConverter.
using ConverterFactory = std::function<std::shared_ptr<ImageConverter>()>;

}  // namespace velkaro

#endif  // VELKARO_ENGINE_IMAGE_CONVERTER_H_
