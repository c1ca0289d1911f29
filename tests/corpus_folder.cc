#include "tests/corpus_folder.h"

#include <cstdlib>

namespace velkaro::testing {

std::filesystem::path CorpusFolder() {
  const char* configured = std::getenv("VELKARO_CORPUS");
  std::filesystem::path folder = configured && *configured ? configured : VELKARO_CORPUS_DEFAULT;
  return std::filesystem::is_directory(folder) ? folder : std::filesystem::path();
}

}  // namespace velkaro::testing
