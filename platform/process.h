#ifndef VELKARO_PLATFORM_PROCESS_H_
#define VELKARO_PLATFORM_PROCESS_H_

#include <chrono>
#include <string>
#include <vector>

namespace velkaro {

// The full path of a program found on the search path, or "" when absent.
std::string FindProgram(const std::string& name);

// What RunProgram returns for a program it stopped at the time limit.
constexpr int kStoppedAtTimeLimit = -2;

// Runs command[0] with the other words as its arguments, without a shell and
// with its output discarded, and waits for it. `environment_changes`
// ("NAME=value") replace or add to this process's environment. A program
// still running after `timeout` is killed with everything it started, and
// the files of the local sockets they had bound are removed. Returns its
// exit code, -1 when it could not start or ended by a signal, or
// kStoppedAtTimeLimit.
int RunProgram(const std::vector<std::string>& command, std::chrono::seconds timeout,
               const std::vector<std::string>& environment_changes = {});

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_PROCESS_H_
