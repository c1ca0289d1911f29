#include "documents/picture_format.h"

namespace velkaro {

std::string PictureFormatName(std::string_view bytes) {
  if (bytes.starts_with("\x89PNG\r\n\x1A\n")) return "PNG";
  if (bytes.starts_with("\xFF\xD8\xFF")) return "JFIF";
  if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return "GIF";
  if (bytes.starts_with("BM")) return "BMP";
  if (bytes.starts_with(std::string_view("II*\0", 4)) ||
      bytes.starts_with(std::string_view("MM\0*", 4))) {
    return "TIFF";
  }
  // An enhanced metafile starts with its header record (type 1), whose
  // signature " EMF" stands at offset 40.
  if (bytes.starts_with(std::string_view("\x01\0\0\0", 4)) && bytes.size() > 44 &&
      bytes.substr(40, 4) == " EMF") {
    return "EMF";
  }
  if (bytes.starts_with("\xD7\xCD\xC6\x9A") ||
      bytes.starts_with(std::string_view("\x01\0\x09\0", 4)) ||
      bytes.starts_with(std::string_view("\x02\0\x09\0", 4))) {
    return "WMF";
  }
  return "";
}

}  // namespace velkaro
