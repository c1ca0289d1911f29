#include "engine/gallery_pictures.h"

#include <gtest/gtest.h>

#include "tests/fake_converter.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class GalleryPicturesTest : public ::testing::Test {
 protected:
  GalleryPicturesTest() {
    fs::create_directory(work());
    import_.converter = &converter_;
  }
  fs::path work() const { return folder_ / "work"; }
  std::string Work(const std::string& name) const { return (work() / name).string(); }
  std::vector<std::string> Bring(const std::vector<std::string>& files, int mode, Lines& log) {
    import_.mode = mode;
    return CopyGalleryPictures(files, import_, work(),
                               [&](const std::string& l) { log.push_back(l); });
  }

  testing::ScratchFolder folder_;
  testing::FakeConverter converter_;
  PictureImport import_;
};

TEST_F(GalleryPicturesTest, CopyModesCopyAndWarnAboutLargePhotos) {
  const std::vector<std::string> files = {
      folder_.Write("in/small.JPG", "small").string(),
      folder_.Write("in/big.png", std::string(1024 * 1024 + 1, 'b')).string(),
      folder_.Write("in/edge.png", std::string(1024 * 1024, 'e')).string()};
  Lines log;
  EXPECT_EQ(Bring(files, 3, log), (std::vector<std::string>{"JPG", "png", "png"}));
  EXPECT_EQ(log, (Lines{"Create file " + Work("0.JPG") + " from " + files[0],
                        "Create file " + Work("1.png") + " from " + files[1],
                        "Warning: picture " + files[1] +
                            " is larger than 1 MB (1048577 bytes); the phone may not be able "
                            "to show it",
                        "Create file " + Work("2.png") + " from " + files[2]}));
  EXPECT_EQ(testing::ReadBytes(work() / "0.JPG"), "small");
  EXPECT_TRUE(converter_.calls.empty());
}

}  // namespace
}  // namespace velkaro
