#include "engine/build_steps.h"

#include <gtest/gtest.h>

#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

TEST(BuildStepsTest, ShortVersionDropsTheLastComponent) {
  EXPECT_EQ(ShortVersion("4.7.0.246"), "4.7.0");
  EXPECT_EQ(ShortVersion("4.7"), "4.7");
  EXPECT_EQ(ShortVersion("4"), "4.7");
  EXPECT_EQ(ShortVersion("1.2"), "4.7") << "a dot before the third character";
  EXPECT_EQ(ShortVersion("10.2"), "10");
}

TEST(BuildStepsTest, FileExtensionAndPartName) {
  EXPECT_EQ(FileExtension("photo.JPG"), "JPG");
  EXPECT_EQ(FileExtension("a.b/noext"), "b/noext");
  EXPECT_EQ(FileExtension("plain"), "plain");
  EXPECT_EQ(PartName("Tales", 1, 1), "Tales");
  EXPECT_EQ(PartName("Tales", 2, 3), "Tales2");
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

TEST(BuildStepsTest, ManifestAndDescriptorLines) {
  std::string manifest = ManifestText("Tales2", "4.7.0");
  EXPECT_EQ(manifest.rfind("Manifest-Version: 1.0\r\nMIDlet-Name: Tales2\r\n", 0), 0u);
  EXPECT_NE(manifest.find("MIDlet-1: Tales2, /logo.png, TBookMIDlet\r\nMicroEdition-Profile: "
                          "MIDP-1.0\r\nMicroEdition-Configuration: CLDC-1.0\r\n"),
            std::string::npos);
  std::string jad = DescriptorText("Tales2", "4.7.0", 4321);
  EXPECT_NE(jad.find("MIDlet-Icon: /logo.png\r\nMIDlet-Jar-URL: Tales2.jar\r\n"
                     "MIDlet-Jar-Size: 4321\r\nMIDlet-1: "),
            std::string::npos);
  EXPECT_EQ(jad.find("Manifest-Version"), std::string::npos);
  EXPECT_EQ(std::count(jad.begin(), jad.end(), '\n'), 11);
  EXPECT_EQ(std::count(manifest.begin(), manifest.end(), '\n'), 10);
}

}  // namespace
}  // namespace velkaro
