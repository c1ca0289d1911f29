#include "shell/command_line.h"

#include <cstdio>
#include <string>
#include <system_error>

#include "engine/velkaro.h"
#include "platform/file_version.h"

namespace velkaro {
namespace {

constexpr size_t kLongestPath = 500;

std::string TrimControlsAndBlanks(std::string text) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= 32) ++first;
  size_t last = text.size();
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

}  // namespace

std::optional<std::filesystem::path> ProjectFileArgument(int argc, const char* const* argv) {
  if (argc < 2) return std::nullopt;
  std::string argument = TrimControlsAndBlanks(argv[1]);
  if (argument.empty()) return std::nullopt;
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(argument, error).lexically_normal();
  if (error || full.string().size() > kLongestPath) return std::nullopt;
  if (!std::filesystem::is_regular_file(full, error)) return std::nullopt;
  return full;
}

int RunCommandLineBuild(const std::filesystem::path& project_file,
                        const std::filesystem::path& program_folder) {
  std::string load_error;
  TVelkaro book = TVelkaro::CreateFromProject(project_file.string(), &load_error);
  if (!load_error.empty()) std::fprintf(stderr, "%s\n", load_error.c_str());
  book.FileVersion = ReadFileVersion();
  book.MidletsFolder = (program_folder / "midlets").string();
  book.TempFolder = (program_folder / "temp").string();
  book.RunMode = 1;
  std::string build_error;
  if (book.Build(&build_error)) return 0;
  std::fprintf(stderr, "%s\n", build_error.c_str());
  return 1;
}

}  // namespace velkaro
