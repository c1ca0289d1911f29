#ifndef VELKARO_PLATFORM_PROCESS_H_
#define VELKARO_PLATFORM_PROCESS_H_

#include <chrono>
#include <string>
#include <vector>

namespace velkaro {

// The full path of a program found on the search path, or "" when absent.
std::string FindProgram(const std::string& name);

// Runs command[0] with the other words as its arguments, without a shell and
// with its output discarded, and waits for it. A program still running after
// `timeout` is killed with everything it started. Returns its exit code, or
// -1 when it could not start, was killed or ended by a signal.
int RunProgram(const std::vector<std::string>& command, std::chrono::seconds timeout);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_PROCESS_H_
