#ifndef VELKARO_DOCUMENTS_PICTURE_SOURCE_H_
#define VELKARO_DOCUMENTS_PICTURE_SOURCE_H_

#include <string>
#include <vector>

namespace velkaro {

// One format of a picture as a clipboard offers it: a registered format name
// ("PNG", "JFIF", "GIF", ...) with the picture's bytes in that format.
struct PictureFormat {
  std::string name;
  std::string data;

  bool operator==(const PictureFormat&) const = default;
};

// The same picture in one or more formats, most preferred first. Document
// readers fill it from a picture part; a build saves it as a clipboard picture.
using PictureSource = std::vector<PictureFormat>;

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_PICTURE_SOURCE_H_
