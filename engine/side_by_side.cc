#include "engine/side_by_side.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace velkaro {

std::vector<std::exception_ptr> RunSideBySide(size_t count,
                                              const std::function<void(size_t)>& job) {
  std::vector<std::exception_ptr> failures(count);
  std::atomic<size_t> next = 0;
  auto work = [&] {
    for (size_t i; (i = next++) < count;) {
      try {
        job(i);
      } catch (...) {
        failures[i] = std::current_exception();
      }
    }
  };
  const size_t helpers = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), count);
  std::vector<std::thread> threads;
  for (size_t t = 1; t < helpers; ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  return failures;
}

void RunAllSideBySide(size_t count, const std::function<void(size_t)>& job) {
  for (const std::exception_ptr& failure : RunSideBySide(count, job)) {
    if (failure) std::rethrow_exception(failure);
  }
}

}  // namespace velkaro
