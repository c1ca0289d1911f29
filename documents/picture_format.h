#ifndef VELKARO_DOCUMENTS_PICTURE_FORMAT_H_
#define VELKARO_DOCUMENTS_PICTURE_FORMAT_H_

#include <string>
#include <string_view>

namespace velkaro {

// The clipboard format name under which a picture's bytes are offered, told
// by their signature: "PNG", "JFIF", "GIF", "BMP", "TIFF", "EMF" or "WMF";
// "" for anything else.
std::string PictureFormatName(std::string_view bytes);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_PICTURE_FORMAT_H_
