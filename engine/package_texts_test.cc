#include "engine/package_texts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velkaro {
namespace {

TEST(PackageTextsTest, ShortVersionDropsTheLastComponent) {
  EXPECT_EQ(ShortVersion("4.7.0.246"), "4.7.0");
  EXPECT_EQ(ShortVersion("4.7"), "4.7");
  EXPECT_EQ(ShortVersion("4"), "4.7");
  EXPECT_EQ(ShortVersion("1.2"), "4.7") << "a dot before the third character";
  EXPECT_EQ(ShortVersion("10.2"), "10");
}

TEST(PackageTextsTest, PartNameNumbersOnlyBooksOfSeveralParts) {
  EXPECT_EQ(PartName("Tales", 1, 1), "Tales");
  EXPECT_EQ(PartName("Tales", 2, 3), "Tales2");
}

TEST(PackageTextsTest, ManifestAndDescriptorLines) {
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
