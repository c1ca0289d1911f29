#include "platform/folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

TEST(FoldersTest, DeleteByMaskDeletesMatchingFilesOnly) {
  ScratchFolder folder;
  for (const char* name : {"book0.dat", "CFG.DAT", "pic12.png", "PIC3.JPG", "point.png", "log"}) {
    folder.Write(name, "x");
  }
  folder.Write("sub.dat/inner", "x");
  std::filesystem::create_symlink(folder / "point.png", folder / "link.dat");
  DeleteByMask(folder.path(), "*.dat");
  DeleteByMask(folder.path(), "pic*");
  EXPECT_EQ(SortedFolderNames(folder.path()),
            (std::vector<std::string>{"log", "point.png", "sub.dat"}))
      << "letter case aside; a link goes, not what it points to; folders stay";
  EXPECT_TRUE(std::filesystem::exists(folder / "sub.dat/inner"));
  DeleteByMask(folder.path(), "*");
  EXPECT_EQ(SortedFolderNames(folder.path()), std::vector<std::string>{"sub.dat"});
  DeleteByMask(folder / "missing", "*");  // no failure
}

TEST(FoldersTest, MakeFolderMakesOneLevel) {
  ScratchFolder folder;
  const Path made = folder / "made";
  EXPECT_TRUE(MakeFolder(made));
  EXPECT_TRUE(MakeFolder(made)) << "an existing folder is fine";
  EXPECT_EQ(StatusOf(made).kind, FileKind::kFolder);
  EXPECT_FALSE(MakeFolder(folder / "a" / "b"));
  EXPECT_FALSE(MakeFolder(folder.Write("file", "abc")));
}

}  // namespace
}  // namespace velkaro
