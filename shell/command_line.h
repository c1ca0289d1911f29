#ifndef VELKARO_SHELL_COMMAND_LINE_H_
#define VELKARO_SHELL_COMMAND_LINE_H_

#include <filesystem>
#include <optional>

namespace velkaro {

// The project file named by the first argument, as a full path, when it is an
// existing file; otherwise nothing, and the window opens.
std::optional<std::filesystem::path> ProjectFileArgument(int argc, const char* const* argv);

// Builds the project beside the executable's midlets folder. Returns the
// process exit code: 0 on success, 1 when the build failed (the failure line
// also goes to standard error).
int RunCommandLineBuild(const std::filesystem::path& project_file,
                        const std::filesystem::path& program_folder);

}  // namespace velkaro

#endif  // VELKARO_SHELL_COMMAND_LINE_H_
