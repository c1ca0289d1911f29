#ifndef VELKARO_BENCH_BENCH_UTIL_H_
#define VELKARO_BENCH_BENCH_UTIL_H_

#include <chrono>
#include <filesystem>
#include <string>

#include "tests/corpus_folder.h"

namespace velkaro::bench {

// Wall-clock seconds since the object was made.
class Stopwatch {
 public:
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Peak resident memory of this process so far, in bytes.
long PeakMemoryBytes();

using testing::CorpusFolder;

}  // namespace velkaro::bench

#endif  // VELKARO_BENCH_BENCH_UTIL_H_
