#include "engine/picture_conversion.h"

#include <gtest/gtest.h>

#include "platform/io_error.h"
#include "tests/fake_converter.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

TEST(PictureConversionTest, OptionStringsSplitAtRunsOfBlanks) {
  const struct {
    std::string options;
    Words words;
  } cases[] = {
      {"-resize 160x128> -depth 8", {"-resize", "160x128>", "-depth", "8"}},
      {"  -resize   160x128>    -depth  8  ", {"-resize", "160x128>", "-depth", "8"}},
      {"", {""}},
      {"   ", {""}},
      {"-strip\t -quality\x01 90", {"-strip", "-quality", "90"}},
      {"1 2 3 4 5 6 7 8 9 10", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitOptionWords(c.options), c.words) << c.options;
}

TEST(PictureConversionTest, MoreThanTenWordsStopTheBuild) {
  EXPECT_EQ(testing::FailureOf([] { SplitOptionWords("1 2 3 4 5 6 7 8 9 10 11 12"); }),
            "Too many ImageMagick options: 12");
}

class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() {
    import_.png_options = "-resize 160x128>";
    import_.jpg_options = "-quality 80";
    import_.converter = &converter_;
  }
  std::string Out(const std::string& name) const { return (folder_ / name).string(); }

  testing::ScratchFolder folder_;
  testing::FakeConverter converter_;
  PictureImport import_;
};

TEST_F(ConversionTest, OptionsFollowTheDestinationAndTurningComesLast) {
  std::vector<std::string> warnings;
  converter_.warnings = {"careful"};
  EXPECT_EQ(ConvertPicture(import_, "in.gif", Out("a.png"), warnings), 10u);
  import_.turn = true;
  converter_.sizes[".PNG"] = 3;
  EXPECT_EQ(ConvertPicture(import_, "in.gif", Out("b.PNG"), warnings), 3u);
  import_.png_options = "";
  ConvertPicture(import_, "in.gif", Out("c.png"), warnings);
  const std::vector<Words> expected = {
      {"in.gif", "-resize", "160x128>", Out("a.png")},
      {"in.gif", "-quality", "80", "-rotate", "90", Out("b.PNG")},  // the extension's case counts
      {"in.gif", "", "-rotate", "90", Out("c.png")},
  };
  EXPECT_EQ(converter_.calls, expected);
  EXPECT_EQ(warnings, Words(3, "careful"));
}

TEST_F(ConversionTest, EachModeKeepsItsFormat) {
  const struct {
    int mode, png_size, jpg_size;
    std::string kept, gone;
  } cases[] = {
      {4, 10, 20, ".png", ".jpg"}, {4, 20, 10, ".jpg", ".png"}, {4, 15, 15, ".png", ".jpg"},
      {5, 10, 5, ".png", ".jpg"},  {6, 5, 10, ".jpg", ".png"},
  };
  for (const auto& c : cases) {
    import_.mode = c.mode;
    converter_.sizes = {{".png", c.png_size}, {".jpg", c.jpg_size}};
    fs::remove_all(folder_ / "pic1.png");
    fs::remove_all(folder_ / "pic1.jpg");
    BroughtPicture picture = ConvertForMode(import_, "in.bmp", Out("pic1"));
    EXPECT_EQ(picture.extension, c.kept) << "mode " << c.mode;
    EXPECT_EQ(picture.size, static_cast<uint64_t>(c.kept == ".png" ? c.png_size : c.jpg_size));
    EXPECT_TRUE(fs::exists(Out("pic1" + c.kept)));
    EXPECT_FALSE(fs::exists(Out("pic1" + c.gone)));
  }
}

TEST_F(ConversionTest, NoDestinationOrNoConverterStopsTheBuild) {
  import_.mode = 5;
  converter_.sizes[".png"] = -1;
  EXPECT_EQ(testing::FailureOf([&] { ConvertForMode(import_, "in.png", Out("pic1")); }),
            "File not found");
  import_.converter = nullptr;
  EXPECT_EQ(testing::FailureOf([&] { ConvertForMode(import_, "in.png", Out("pic1")); }),
            "Picture conversion with ImageMagick is not available");
}

}  // namespace
}  // namespace velkaro
