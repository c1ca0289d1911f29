#ifndef VELKARO_PLATFORM_MEMORY_PAGES_H_
#define VELKARO_PLATFORM_MEMORY_PAGES_H_

#include <cstddef>

namespace velkaro {

// Hands the whole memory pages inside [data, data + size) back to the system
// at once, instead of when their block is freed. Their contents are lost:
// they read as zeros afterwards. The room stays the caller's, who may write
// into it again. Only for memory the caller owns and will not read again.
// Returns where the pages handed back end (`data` when there were none): a
// later call that starts there leaves no page between the two behind.
char* ReleasePages(char* data, size_t size);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_MEMORY_PAGES_H_
