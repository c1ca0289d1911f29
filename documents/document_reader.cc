#include "documents/document_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "documents/docx_reader.h"
#include "documents/office_conversion.h"
#include "platform/files.h"

namespace velkaro {
namespace {

using Reader = Document (*)(const std::string& path, const ReadOptions& options);

struct FormatReader {
  std::string_view extension;
  Reader read;
};

// One row per format with a reader of its own.
constexpr std::array kReaders = {
    FormatReader{".docx", ReadDocx},
    FormatReader{".docm", ReadDocx},
    FormatReader{".dotx", ReadDocx},
    FormatReader{".dotm", ReadDocx},
};

std::string LowerExtension(const std::string& path) {
  std::string extension = Path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

Document ReadBookDocument(const std::string& path, const ReadOptions& options) {
  // A file that can not be read fails with the input/output message.
  const InputFile readable{Path(path)};
  const std::string extension = LowerExtension(path);
  for (const FormatReader& reader : kReaders) {
    if (reader.extension == extension) return reader.read(path, options);
  }
  return ReadThroughOffice(path, options);
}

}  // namespace velkaro
