#include "platform/file_mask.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

TEST(MatchesMaskTest, WindowsMaskRules) {
  struct Case {
    const char* mask;
    const char* name;
    bool matches;
  };
  const Case kCases[] = {
      {"*.*", "MANIFEST.MF", true},  // "*.*" takes every name, with or without "."
      {"*.*", "META-INF", true},
      {"*.*", ".hidden", true},
      {"*.*", "a.b.c", true},
      {"*", "", true},
      {"*.dat", "BOOK1.DAT", true},  // letter case aside
      {"PIC*", "pic3.png", true},
      {"*.dat", "book1.dat.bak", false},
      {"pic?.png", "pic7.png", true},
      {"pic?.png", "pic12.png", false},
      {"*a*b*", "xxaxxbxx", true},
      {"*a*b*", "xxbxxaxx", false},
      {"book.", "book", true},  // a name without "." also reads with one added
      {"book.", "book.dat", false},
      {"[ab]*", "a1", false},  // brackets are plain letters, not sets
      {"[ab]*", "[ab]1", true},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(MatchesMask(c.mask, c.name), c.matches) << c.mask << " " << c.name;
  }
}

}  // namespace
}  // namespace velkaro
