#ifndef VELKARO_SHELL_ARGUMENTS_H_
#define VELKARO_SHELL_ARGUMENTS_H_

#include <filesystem>
#include <optional>
#include <string>

namespace velkaro {

// What the command line asks for. The first argument that is not an option
// names the project file; the ones after it are ignored.
struct Arguments {
  enum class Action { kWindow, kBuild, kHelp, kVersion, kMistake };

  Action action = Action::kWindow;
  // kBuild, and kWindow with --window: an existing file, full path
  std::filesystem::path project_file = {};
  std::optional<std::filesystem::path> output_folder = {};  // -o: full path
  std::string mistake = {};                                 // kMistake: what is wrong, one line
};

Arguments ParseArguments(int argc, const char* const* argv);

// The text of --help.
std::string UsageText();

}  // namespace velkaro

#endif  // VELKARO_SHELL_ARGUMENTS_H_
