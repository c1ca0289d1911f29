#include "imaging/png_chunks.h"

#include <zlib.h>

#include <string_view>

#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";
// The keyword and the language fields before a chunk's compressed bytes.
constexpr uint64_t kLongestChunkHead = 1024;

uint32_t BigEndian(const unsigned char* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// Where the compressed bytes of a chunk begin, or npos when it holds none:
// zTXt and iCCP have a name, a NUL and a method byte; iTXt a keyword, a NUL,
// a compression flag, a method byte, then a language and a translated
// keyword, each ended by a NUL.
size_t CompressedStart(std::string_view type, std::string_view data) {
  size_t at = data.find('\0');
  if (at == std::string_view::npos) return at;
  if (type != "iTXt") return at + 2;
  if (at + 1 >= data.size() || data[at + 1] != 1) return std::string_view::npos;
  at = data.find('\0', at + 3);
  if (at == std::string_view::npos) return at;
  at = data.find('\0', at + 1);
  return at == std::string_view::npos ? at : at + 1;
}

// The inflated size of a zlib stream, counted up to just past `bound`.
uint64_t InflatedSize(std::string_view packed, uint64_t bound) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw Error("Not enough memory");
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  unsigned char scratch[1 << 16];
  int result = Z_OK;
  while (result == Z_OK && stream.total_out <= bound) {
    stream.next_out = scratch;
    stream.avail_out = sizeof scratch;
    result = inflate(&stream, Z_NO_FLUSH);  // Z_BUF_ERROR: the stream breaks off
  }
  const uint64_t size = stream.total_out;
  inflateEnd(&stream);
  return size;
}

[[noreturn]] void TooLarge(std::string_view type) {
  throw Error("its " + std::string(type) + " chunk inflates to more than " +
              std::to_string(kLargestInflatedChunk >> 20) + " MB");
}

}  // namespace

void CheckPngChunks(InputFile& png) {
  char signature[8];
  png.Seek(0);
  if (!png.ReadAll(signature, sizeof signature) ||
      std::string_view(signature, sizeof signature) != kSignature) {
    return;
  }
  unsigned char header[8];
  for (uint64_t at = kSignature.size(); png.ReadAll(header, sizeof header);) {
    const uint64_t length = BigEndian(header);
    const std::string_view type(reinterpret_cast<const char*>(header + 4), 4);
    if (type == "IEND") return;
    if (type == "zTXt" || type == "iTXt" || type == "iCCP") {
      // Inflating never gives much less than the packed bytes, so a longer
      // chunk is too large without reading it.
      if (length > kLargestInflatedChunk + kLongestChunkHead) TooLarge(type);
      std::string data(length, '\0');
      if (!png.ReadAll(data.data(), data.size())) return;
      const size_t start = CompressedStart(type, data);
      if (start < data.size() && InflatedSize(std::string_view(data).substr(start),
                                              kLargestInflatedChunk) > kLargestInflatedChunk) {
        TooLarge(type);
      }
    }
    at += sizeof header + length + 4;  // the data and its checksum
    png.Seek(at);
  }
}

}  // namespace velkaro
