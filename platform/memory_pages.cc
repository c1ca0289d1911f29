#include "platform/memory_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace velkaro {

char* ReleasePages(char* data, size_t size) {
  static const uintptr_t kPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kPage - 1) / kPage * kPage;
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) / kPage * kPage;
  if (begin >= end) return data;
  // A hint: memory the system does not take back is merely kept.
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
  return data + (end - reinterpret_cast<uintptr_t>(data));
}

}  // namespace velkaro
