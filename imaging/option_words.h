#ifndef VELKARO_IMAGING_OPTION_WORDS_H_
#define VELKARO_IMAGING_OPTION_WORDS_H_

#include <string>
#include <vector>

namespace velkaro {

// Option words come from a project file that anyone may have written. Only
// options that change a picture's size, quality, depth, colours, sharpness or
// orientation pass, each with an argument that reads as a number, a geometry,
// a colour or one of the option's own words, never as a file, a coder, "@" or
// a "%" pattern. Throws Error("ImageMagick option X is not allowed: ...") for
// anything else. Empty words are left alone. ImageMagick must be started.
void CheckOptionWords(const std::vector<std::string>& words);

}  // namespace velkaro

#endif  // VELKARO_IMAGING_OPTION_WORDS_H_
