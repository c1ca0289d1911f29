#include "imaging/picture_size.h"

#include <cstdlib>

namespace velkaro {
namespace {

using Bytes = const unsigned char*;

uint64_t BigEndian16(Bytes b) { return uint64_t{b[0]} << 8 | b[1]; }
uint64_t BigEndian32(Bytes b) { return BigEndian16(b) << 16 | BigEndian16(b + 2); }
uint64_t LittleEndian16(Bytes b) { return uint64_t{b[1]} << 8 | b[0]; }
int32_t LittleEndian32(Bytes b) {
  return static_cast<int32_t>(uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 |
                              b[0]);
}

// The first bytes of a header, or false when the file is shorter.
template <size_t N>
bool ReadAt(InputFile& file, uint64_t offset, unsigned char (&bytes)[N]) {
  file.Seek(offset);
  return file.ReadAll(bytes, N);
}

// A JPEG's size stands in its start-of-frame segment, after any number of
// other segments (EXIF data, thumbnails, tables).
std::optional<PictureSize> JpegSize(InputFile& jpeg) {
  unsigned char marker[4];
  for (uint64_t at = 2; ReadAt(jpeg, at, marker) && marker[0] == 0xFF;) {
    const unsigned char kind = marker[1];
    if (kind == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    const bool start_of_frame =
        kind >= 0xC0 && kind <= 0xCF && kind != 0xC4 && kind != 0xC8 && kind != 0xCC;
    if (start_of_frame) {
      unsigned char frame[9];
      if (!ReadAt(jpeg, at, frame)) return std::nullopt;
      return PictureSize{BigEndian16(frame + 7), BigEndian16(frame + 5)};
    }
    if (kind == 0xD9 || kind == 0xDA) return std::nullopt;  // the end, or the pixels
    at += 2 + BigEndian16(marker + 2);
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureSize> ReadPictureSize(InputFile& picture, std::string_view coder) {
  unsigned char header[12];
  if (coder == "png" && ReadAt(picture, 12, header) &&
      std::string_view(reinterpret_cast<char*>(header), 4) == "IHDR") {
    return PictureSize{BigEndian32(header + 4), BigEndian32(header + 8)};
  }
  if (coder == "gif" && ReadAt(picture, 6, header)) {
    return PictureSize{LittleEndian16(header), LittleEndian16(header + 2)};
  }
  if (coder == "bmp" && ReadAt(picture, 14, header)) {
    if (LittleEndian32(header) == 12) {  // the old OS/2 header of 16-bit sizes
      return PictureSize{LittleEndian16(header + 4), LittleEndian16(header + 6)};
    }
    // A negative height stands for rows stored top first.
    return PictureSize{static_cast<uint64_t>(std::abs(int64_t{LittleEndian32(header + 4)})),
                       static_cast<uint64_t>(std::abs(int64_t{LittleEndian32(header + 8)}))};
  }
  if (coder == "jpeg") return JpegSize(picture);
  return std::nullopt;
}

}  // namespace velkaro
