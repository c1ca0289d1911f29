#include "bench/bench_util.h"

#include <sys/resource.h>

#include <cstdlib>

namespace velkaro::bench {

long PeakMemoryBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;
}

std::filesystem::path CorpusFolder() {
  const char* configured = std::getenv("VELKARO_CORPUS");
  return configured && *configured ? configured : VELKARO_CORPUS_DEFAULT;
}

}  // namespace velkaro::bench
