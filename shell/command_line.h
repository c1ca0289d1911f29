#ifndef VELKARO_SHELL_COMMAND_LINE_H_
#define VELKARO_SHELL_COMMAND_LINE_H_

#include <optional>

namespace velkaro {

// Does what the command line asks for when that needs no window: help, the
// version, a build, or a message about a wrong command line or a missing
// display. Returns the process exit code, or nothing when the window should
// open: 0 done, 1 the build failed (the failure line also goes to standard
// error), 2 a wrong command line or no display, 130 the build was cancelled
// by SIGINT.
std::optional<int> RunWithoutWindow(int argc, const char* const* argv);

}  // namespace velkaro

#endif  // VELKARO_SHELL_COMMAND_LINE_H_
