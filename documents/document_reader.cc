#include "documents/document_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "documents/docx_reader.h"
#include "documents/epub_reader.h"
#include "documents/fb2_reader.h"
#include "documents/office_conversion.h"
#include "platform/files.h"

namespace velkaro {
namespace {

using Reader = Document (*)(const std::string& path, const ReadOptions& options);

struct FormatReader {
  std::string_view ending;
  Reader read;
  std::string_view format;
};

constexpr std::string_view kWordFormat = "MS Word";

// One row per format with a reader of its own.
constexpr std::array kReaders = {
    FormatReader{".docx", ReadDocx, kWordFormat}, FormatReader{".docm", ReadDocx, kWordFormat},
    FormatReader{".dotx", ReadDocx, kWordFormat}, FormatReader{".dotm", ReadDocx, kWordFormat},
    FormatReader{".epub", ReadEpub, "EPUB"},      FormatReader{".fb2", ReadFb2, "FB2"},
    FormatReader{".fb2.zip", ReadFb2, "FB2"},
};

const FormatReader* ReaderOf(const std::string& path) {
  std::string name = Path(path).filename().string();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const FormatReader& reader : kReaders) {
    if (name.ends_with(reader.ending)) return &reader;
  }
  return nullptr;
}

}  // namespace

Document ReadBookDocument(const std::string& path, const ReadOptions& options) {
  // A file that can not be read fails with the input/output message.
  const InputFile readable{Path(path)};
  const FormatReader* reader = ReaderOf(path);
  return reader ? reader->read(path, options) : ReadThroughOffice(path, options);
}

std::string_view BookFormatName(const std::string& path) {
  const FormatReader* reader = ReaderOf(path);
  return reader ? reader->format : kWordFormat;
}

}  // namespace velkaro
