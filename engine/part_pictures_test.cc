#include "engine/part_pictures.h"

#include <gtest/gtest.h>

#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

class PartPicturesTest : public ::testing::Test {
 protected:
  PartPicturesTest() {
    fs::create_directory(work());
    pictures_ = {folder_.Write("in/a.png", "AAA").string(),
                 folder_.Write("in/b.JPG", "BBB").string(),
                 folder_.Write("in/c.gif", "CCC").string()};
  }
  fs::path work() const { return folder_ / "work"; }
  std::vector<std::string> Import(std::u16string part, int mode) {
    std::vector<std::string> lines;
    ImportPartPictures(part, pictures_, mode, work(),
                       [&](const std::string& l) { lines.push_back(l); });
    return lines;
  }

  testing::ScratchFolder folder_;
  std::vector<std::string> pictures_;
};

TEST_F(PartPicturesTest, CopiesThePicturesThePartNames) {
  // Picture 1 as PNG, picture 3 as GIF; picture 2 is in another part.
  std::u16string part = u"x\x0001\x2001\x0002 y \x0001\x3003\x0002";
  std::vector<std::string> lines = Import(part, 2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Copy image file " + pictures_[0] + " to " + (work() / "pic1.png").string());
  EXPECT_EQ(testing::ReadBytes(work() / "pic1.png"), "AAA");
  EXPECT_EQ(testing::ReadBytes(work() / "pic3.gif"), "CCC");
  EXPECT_FALSE(fs::exists(work() / "pic2.jpg"));
}

TEST_F(PartPicturesTest, MarkersItCannotPlaceAreSkipped) {
  std::u16string part = u"\x0001\x5001\x0002\x0001\x1009\x0002\x0001\x1000\x0002";
  EXPECT_TRUE(Import(part, 1).empty()) << "type 5, a number past the list, number 0";
  EXPECT_TRUE(Import(u"\x0001\x2001\x0002", 0).empty());
  EXPECT_TRUE(fs::is_empty(work()));
}

TEST_F(PartPicturesTest, VanishedPictureFailsClearly) {
  fs::remove(pictures_[1]);
  try {
    Import(u"\x0001\x1002\x0002", 3);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Can not copy file " + pictures_[1] + " to " + (work() / "pic2.jpg").string());
  }
}

}  // namespace
}  // namespace velkaro
