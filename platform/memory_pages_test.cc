#include "platform/memory_pages.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace velkaro {
namespace {

// Only the whole pages inside the range lose their bytes; every byte around
// them, in the range's partial pages too, keeps its value.
TEST(ReleasePagesTest, ClearsTheWholePagesInsideTheRangeAndNothingElse) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const struct {
    size_t from_page;  // where the range starts, in pages and bytes
    size_t from_byte;
    size_t size;
  } cases[] = {
      {1, 0, 3 * page},         // exactly three pages
      {1, 1, 3 * page},         // two whole pages inside
      {1, 100, page},           // less than a whole page: nothing changes
      {0, page - 1, 2 * page},  // one whole page inside
      {2, 0, 0},                // empty
  };
  for (const auto& c : cases) {
    // Page-aligned room of eight pages, every byte set.
    std::string room(9 * page, 'x');
    char* const pages = room.data() + (page - reinterpret_cast<uintptr_t>(room.data()) % page);
    char* const from = pages + c.from_page * page + c.from_byte;
    const char* const released_end = ReleasePages(from, c.size);
    const size_t first_cleared = (c.from_byte == 0 ? c.from_page : c.from_page + 1) * page;
    const size_t end_cleared = (c.from_page * page + c.from_byte + c.size) / page * page;
    EXPECT_EQ(released_end, first_cleared < end_cleared ? pages + end_cleared : from);
    for (size_t i = 0; i < 8 * page; ++i) {
      const bool cleared = i >= first_cleared && i < end_cleared;
      ASSERT_EQ(pages[i], cleared ? '\0' : 'x')
          << "byte " << i << " of the range from " << c.from_page << ":" << c.from_byte;
    }
    pages[first_cleared] = 'y';  // the room stays usable
    EXPECT_EQ(pages[first_cleared], 'y');
  }
}

// A text given back part by part: each call starts where the last one's
// pages ended, and in the end every whole page behind the last part is clear.
TEST(ReleasePagesTest, CallsThatStartWhereTheLastEndedLeaveNoPageBehind) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  std::string room(9 * page, 'x');
  char* const pages = room.data() + (page - reinterpret_cast<uintptr_t>(room.data()) % page);
  char* next = pages + 10;
  for (size_t part_end : {page / 2, page + 100, 3 * page + 7, 5 * page - 1, 7 * page + 1}) {
    next = ReleasePages(next, pages + part_end - next);
  }
  EXPECT_EQ(next, pages + 7 * page);
  for (size_t i = 0; i < 8 * page; ++i) {
    ASSERT_EQ(pages[i], i >= page && i < 7 * page ? '\0' : 'x') << "byte " << i;
  }
}

}  // namespace
}  // namespace velkaro
