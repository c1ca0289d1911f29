#include "bench/bench_util.h"

#include <sys/resource.h>

namespace velkaro::bench {

long PeakMemoryBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;
}

}  // namespace velkaro::bench
