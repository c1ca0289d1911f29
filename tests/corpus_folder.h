#ifndef VELKARO_TESTS_CORPUS_FOLDER_H_
#define VELKARO_TESTS_CORPUS_FOLDER_H_

#include <filesystem>

namespace velkaro::testing {

// The shared corpus of real-world inputs (VELKARO_CORPUS, or the folder
// beside the repository), or an empty path when it is absent. Tests that need
// it skip then; benchmarks say so.
std::filesystem::path CorpusFolder();

}  // namespace velkaro::testing

#endif  // VELKARO_TESTS_CORPUS_FOLDER_H_
