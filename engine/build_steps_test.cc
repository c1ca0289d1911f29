#include "engine/build_steps.h"

#include <gtest/gtest.h>

#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

TEST(BuildStepsTest, FileExtension) {
  EXPECT_EQ(FileExtension("photo.JPG"), "JPG");
  EXPECT_EQ(FileExtension("a.b/noext"), "b/noext");
  EXPECT_EQ(FileExtension("plain"), "plain");
}

TEST(BuildStepsTest, BookNamesThatNameAFileInsideTheFolder) {
  EXPECT_TRUE(IsValidBookName("Tales"));
  EXPECT_TRUE(IsValidBookName("   ")) << "blanks pass like any other name";
  EXPECT_TRUE(IsValidBookName("..Tales"));
  for (const std::string& bad :
       std::vector<std::string>{"", ".", "..", "a/b", "a\\b", std::string("a\0b", 3)}) {
    EXPECT_FALSE(IsValidBookName(bad)) << bad;
  }
}

TEST(BuildStepsTest, SaveTextToFileLogsOrFails) {
  testing::ScratchFolder folder;
  std::string line;
  SaveTextToFile("abc\r\n", folder / "x.txt", [&](const std::string& l) { line = l; });
  EXPECT_EQ(testing::ReadBytes(folder / "x.txt"), "abc\r\n");
  EXPECT_EQ(line, "Create file " + (folder / "x.txt").string() + ", size 5 bytes");
  Path bad = folder / "none" / "x.txt";
  try {
    SaveTextToFile("abc", bad, [](const std::string&) {});
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Can not create/save file " + bad.string());
  }
}

}  // namespace
}  // namespace velkaro
