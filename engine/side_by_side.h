#ifndef VELKARO_ENGINE_SIDE_BY_SIDE_H_
#define VELKARO_ENGINE_SIDE_BY_SIDE_H_

#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

namespace velkaro {

// Runs job(0) to job(count - 1), as many at a time as the machine has cores.
// Returns, for each job, the exception it ended with (null when it did not),
// so that the caller can report in job order whatever the timing was.
std::vector<std::exception_ptr> RunSideBySide(size_t count, const std::function<void(size_t)>& job);

// Runs the jobs side by side; when any failed, throws what the first of them,
// in job order, ended with.
void RunAllSideBySide(size_t count, const std::function<void(size_t)>& job);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_SIDE_BY_SIDE_H_
