#include "archive/folder_walker.h"

#include <gtest/gtest.h>

#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

std::vector<std::string> Names(const std::vector<FoundEntry>& entries) {
  std::vector<std::string> names;
  for (const FoundEntry& e : entries) names.push_back(e.name);
  return names;
}

const auto kNothingExcluded = [](const FoundEntry&) { return false; };

TEST(FindEntriesTest, SearchAttributesChooseFilesAndSubfolders) {
  ScratchFolder base;
  base.Write("a.dat", "a");
  base.Write("sub/b.dat", "b");
  EXPECT_EQ(Names(FindEntries(base.path(), "*.*", kEveryEntryAttributes, kNothingExcluded)),
            (std::vector<std::string>{"a.dat", "sub/", "sub/b.dat"}));
  // Without the folder bit the walk stays in the base folder.
  EXPECT_EQ(Names(FindEntries(base.path(), "*.*", kEveryEntryAttributes & ~0x10, kNothingExcluded)),
            std::vector<std::string>{"a.dat"});
  // Searching read-only files only passes over an ordinary file.
  EXPECT_TRUE(FindEntries(base.path(), "*.*", 0x01, kNothingExcluded).empty());
}

TEST(FindEntriesTest, MaskWithFolderPartKeepsNamesRelativeToTheBase) {
  ScratchFolder base;
  base.Write("pics/pic1.png", "p");
  base.Write("pics/pic2.jpg", "j");
  EXPECT_EQ(Names(FindEntries(base.path(), "pics/*.png", kEveryEntryAttributes, kNothingExcluded)),
            std::vector<std::string>{"pics/pic1.png"});
}

TEST(FindEntriesTest, NamesDoNotDependOnHowTheBaseIsSpelled) {
  ScratchFolder base;
  base.Write("sub/a.dat", "a");
  const std::vector<std::string> expected = {"sub/", "sub/a.dat"};
  EXPECT_EQ(Names(FindEntries(base.path() / "", "*.*", kEveryEntryAttributes, kNothingExcluded)),
            expected);
  EXPECT_EQ(Names(FindEntries(base.path() / "sub" / "..", "*.*", kEveryEntryAttributes,
                              kNothingExcluded)),
            expected);
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(base.path());
  const auto from_here = FindEntries("", "*.*", kEveryEntryAttributes, kNothingExcluded);
  std::filesystem::current_path(cwd);
  EXPECT_EQ(Names(from_here), expected);
}

TEST(FindEntriesTest, ExcludedFolderIsLeftOutWithItsContents) {
  ScratchFolder base;
  base.Write("keep/a.dat", "a");
  base.Write("skip/b.dat", "b");
  const auto entries = FindEntries(base.path(), "*.*", kEveryEntryAttributes,
                                   [](const FoundEntry& e) { return e.path.filename() == "skip"; });
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"keep/", "keep/a.dat"}));
}

}  // namespace
}  // namespace velkaro
