#include "platform/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace velkaro {

std::filesystem::path ProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return exe.parent_path();
}

std::filesystem::path UserDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::filesystem::path(data) / "Velkaro";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home ? home : "/") / ".local" / "share" / "Velkaro";
}

bool CanWriteIn(const std::filesystem::path& folder) {
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace velkaro
