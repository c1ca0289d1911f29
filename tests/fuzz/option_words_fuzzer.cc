// Feeds arbitrary words, separated by blanks, to the check of ImageMagick
// option words. Any crash or hang is a finding, and so is a word that passes
// while it could name a file, a coder or a list of files.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/magick_converter.h"
#include "imaging/option_words.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

void CheckWords(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  try {
    CheckOptionWords(words);
  } catch (const Error&) {
    return;
  }
  for (const std::string& word : words) {
    Check(word.find_first_of("/@`\\") == std::string::npos);
    // A coder prefix is a name and a colon; only -define keys have one, and
    // geometries ("16:9", "4:2:0") use the colon between numbers.
    const size_t colon = word.find(':');
    Check(colon == std::string::npos || word.starts_with("png:") || word.starts_with("jpeg:") ||
          word.substr(0, colon).find_first_not_of("0123456789.xX+-%!<>^,") == std::string::npos);
  }
}

}  // namespace
}  // namespace velkaro

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const velkaro::MagickConverter started;  // ImageMagick's option and colour tables
  velkaro::CheckWords(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
