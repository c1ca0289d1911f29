#ifndef VELKARO_TESTS_TESTING_H_
#define VELKARO_TESTS_TESTING_H_

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/temp_folder.h"
#include "tests/corpus_folder.h"

namespace velkaro::testing {

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() : folder_("velkaro-test-") {}
  // Under another folder than the system's temporary one.
  explicit ScratchFolder(const std::filesystem::path& parent) : folder_("velkaro-test-", parent) {}

  const std::filesystem::path& path() const { return folder_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return path() / name; }
  // Writes a file below the folder (parents created) and returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& bytes) const;

 private:
  TempFolder folder_;
};

// Sets environment variables (name, value) for the life of the object.
class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(const std::vector<std::pair<std::string, std::string>>& values);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> old_;
};

std::string ReadBytes(const std::filesystem::path& path);

// The names in a folder, sorted.
std::vector<std::string> SortedNames(const std::filesystem::path& folder);

// The lines of a build log; every line must end in CR LF.
std::vector<std::string> LogFileLines(const std::filesystem::path& path);

// The message of the Error that `step` throws; "no failure" when it throws none.
std::string FailureOf(const std::function<void()>& step);

}  // namespace velkaro::testing

// Skips the current test when the corpus is not beside the repository.
#define VELKARO_REQUIRE_CORPUS()                                        \
  do {                                                                  \
    if (::velkaro::testing::CorpusFolder().empty())                     \
      GTEST_SKIP() << "the shared corpus is not beside the repository"; \
  } while (0)

#endif  // VELKARO_TESTS_TESTING_H_
