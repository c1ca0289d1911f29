#include "engine/embedded_files.h"

#include <gtest/gtest.h>

#include <map>

namespace velkaro {
namespace {

TEST(EmbeddedFilesTest, EveryPackageGetsTheSevenFilesInOrderAndSize) {
  const std::vector<std::pair<std::string, size_t>> expected = {
      {"point.png", 264},           {"logo.png", 407},
      {"TBookCanvas.class", 799},   {"TBookN1Canvas.class", 825},
      {"TBookN2Canvas.class", 864}, {"TBookCanvasInit.class", 225},
  };
  for (bool text_book : {true, false}) {
    std::vector<PackageFile> files = EmbeddedMidletFiles(text_book);
    ASSERT_EQ(files.size(), 7u);
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(files[i].name, expected[i].first);
      EXPECT_EQ(files[i].file->size, expected[i].second);
    }
    EXPECT_EQ(files[6].name, "TBookMIDlet.class");
    EXPECT_EQ(files[6].file->size, text_book ? 35407u : 8597u);
  }
}

TEST(EmbeddedFilesTest, UnscrambleUndoesThePositionXor) {
  const unsigned char stored[] = {0x41, 0x43, 0x41, 0x42};
  EmbeddedFile file{"x", stored, sizeof stored};
  EXPECT_EQ(Unscramble(file), "ABCA");
  std::vector<unsigned char> long_block(300);
  for (size_t i = 0; i < long_block.size(); ++i) long_block[i] = static_cast<unsigned char>(i);
  std::string plain = Unscramble({"y", long_block.data(), long_block.size()});
  EXPECT_EQ(plain[257], 0) << "the key repeats every 256 bytes";
}

}  // namespace
}  // namespace velkaro
