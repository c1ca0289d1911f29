#ifndef VELKARO_PLATFORM_TEMP_FOLDER_H_
#define VELKARO_PLATFORM_TEMP_FOLDER_H_

#include <filesystem>
#include <string>

namespace velkaro {

// A new folder of a unique name under the system's temporary folder, which
// only its owner may enter; it goes, with all it holds, when the object goes.
class TempFolder {
 public:
  // The name starts with prefix; the folder lies under `parent` when one is
  // given. Throws Error with the input/output message when it cannot be made.
  explicit TempFolder(const std::string& prefix, const std::filesystem::path& parent = {});
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_TEMP_FOLDER_H_
