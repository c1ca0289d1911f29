#include "platform/temp_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <system_error>

#include "platform/io_error.h"

namespace velkaro {

TempFolder::TempFolder(const std::string& prefix, const std::filesystem::path& parent) {
  std::error_code error;
  const std::filesystem::path folder =
      parent.empty() ? std::filesystem::temp_directory_path(error) : parent;
  if (error) ThrowIoError(error.value());
  std::string pattern = (folder / (prefix + "XXXXXX")).string();
  if (!mkdtemp(pattern.data())) ThrowIoError(errno);
  path_ = pattern;
}

TempFolder::~TempFolder() {
  // A folder left without write permission would keep its files.
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace velkaro
