// Whole builds of books with pictures, converted by ImageMagick in process.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "engine/velkaro.h"
#include "imaging/magick_converter.h"
#include "tests/package_reader.h"
#include "tests/pictures.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

// The picture markers of a book file: number -> type.
std::map<int, int> MarkersOf(const std::string& book_file) {
  std::u16string text;
  for (size_t i = 0; i + 1 < book_file.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(book_file[i]) << 8 |
                                  static_cast<unsigned char>(book_file[i + 1]));
  }
  std::map<int, int> markers;
  for (size_t i = 2; i < text.size(); ++i) {
    if (text[i] == 2 && text[i - 2] == 1) markers[text[i - 1] & 0xFFF] = text[i - 1] >> 12;
  }
  return markers;
}

std::map<std::string, std::string> PicturesOf(const testing::Package& package) {
  std::map<std::string, std::string> pictures;
  for (const auto& [name, bytes] : package.content) {
    if (name.rfind("pic", 0) == 0) pictures[name] = bytes;
  }
  return pictures;
}

class PictureBuildTest : public ::testing::Test {
 protected:
  PictureBuildTest() : book_(TVelkaro::CreateDefault()) {
    book_.FileVersion = "4.7.0.246";
    book_.MidletsFolder = (root_ / "midlets").string();
    book_.TempFolder = (root_ / "temp").string();
    book_.BookName = "Tales";
    book_.BookMode = true;
    book_.PortraitLayout = true;
    book_.Tags = true;
    book_.ImageSize = 100000;
    book_.ImagePngOptions = "-resize 64x48> -depth 8";
    book_.ImageJpgOptions = "-resize   64x48>  -quality 80";
    book_.CreateConverter = CreateMagickConverter;
  }

  static std::string Corpus(const std::string& name) {
    return (testing::CorpusFolder() / "images" / name).string();
  }

  bool Build(const std::string& text, int part_size) {
    book_.TextFileName = root_.Write("book.txt", text).string();
    book_.PartSize = part_size;
    error_.clear();
    return book_.Build(&error_);
  }

  testing::Package Package(const std::string& part_name) const {
    return testing::ReadPackage(root_ / "midlets" / (part_name + ".jar"));
  }

  // Only the emptied META-INF stays in the work folder.
  void ExpectCleanedUp() const {
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "temp"), fs::directory_iterator()), 1);
  }

  testing::ScratchFolder root_;
  TVelkaro book_;
  std::string error_;
};

TEST_F(PictureBuildTest, EveryModeBringsEachPartItsOwnPictures) {
  VELKARO_REQUIRE_CORPUS();
  const std::string png = Corpus("png_rgba_transparent_200x150.png");
  const std::string jpg = Corpus("photo_flower_480x360_exif.jpg");
  const std::string gif = Corpus("gif_hopper_static_128x128.gif");
  const std::string bmp = Corpus("bmp_24bit_hopper_128x128.bmp");
  const std::string text = "One <img " + png + "> two <img " + jpg + ">. Three <img " + gif +
                           "> four <img " + bmp + "> five <img " + png + ">.";
  const std::map<int, std::string> sources = {{1, png}, {2, jpg}, {3, gif}, {4, bmp}, {5, png}};
  const char* extension_of_type[] = {"", ".jpg", ".png", ".gif", ".bmp"};
  for (int mode = 0; mode <= 6; ++mode) {
    book_.ImageMode = mode;
    ASSERT_TRUE(Build(text, 30)) << "mode " << mode << ": " << error_;
    std::map<int, int> pictures_in_part[] = {{{1, 0}, {2, 0}}, {{3, 0}, {4, 0}, {5, 0}}};
    for (int k = 1; k <= 2; ++k) {
      testing::Package package = Package("Tales" + std::to_string(k));
      std::map<int, int> markers = MarkersOf(package.content["book0.dat"]);
      std::map<std::string, std::string> files = PicturesOf(package);
      ASSERT_EQ(markers.size(), pictures_in_part[k - 1].size()) << "mode " << mode;
      EXPECT_EQ(files.size(), mode == 0 ? 0u : markers.size()) << "mode " << mode;
      for (const auto& [number, type] : markers) {
        if (mode == 0) continue;
        ASSERT_GE(type, 1);
        ASSERT_LE(type, 4);
        const std::string name = "pic" + std::to_string(number) + extension_of_type[type];
        ASSERT_EQ(files.count(name), 1u) << "mode " << mode << ": " << name;
        if (mode <= 3) {
          EXPECT_EQ(files[name], testing::ReadBytes(sources.at(number))) << name;
          continue;
        }
        EXPECT_EQ(type, mode == 5 ? 2 : mode == 6 ? 1 : type) << name;
        const testing::Picture picture = testing::ReadPicture(files[name]);
        EXPECT_EQ(picture.format, type == 1 ? "JPEG" : "PNG") << name;
        EXPECT_TRUE(picture.width <= 64 && picture.height <= 48 && picture.width > 0)
            << name << " " << picture.width << "x" << picture.height;
      }
    }
    ExpectCleanedUp();
  }
}

TEST_F(PictureBuildTest, LandscapeBooksTurnTheirPicturesLikeTheText) {
  const fs::path flag = root_ / "in" / "flag.png";
  testing::WritePicture(flag, 2, 1, {255, 0, 0, 0, 0, 255});  // red left, blue right
  const struct {
    bool portrait, desktop_font;
    int mode;
    bool turned;
  } cases[] = {
      {false, true, 2, true}, {false, true, 5, true},   {true, true, 2, false},
      {true, true, 5, false}, {false, false, 2, false},  // phone fonts keep the page upright
  };
  for (const auto& c : cases) {
    book_.PortraitLayout = c.portrait;
    if (!c.desktop_font) book_.Font.reset();
    book_.ImageMode = c.mode;
    book_.ImagePngOptions = "-depth 8";
    ASSERT_TRUE(Build("Flag <img " + flag.string() + ">.", 1000)) << error_;
    const testing::Picture picture = testing::ReadPicture(Package("Tales").content["pic1.png"]);
    if (c.turned) {
      // The reader turns the page a quarter clockwise: the picture's left
      // column becomes its top row.
      EXPECT_EQ(picture.width, 1u);
      EXPECT_EQ(picture.rgb, (std::vector<unsigned char>{255, 0, 0, 0, 0, 255}));
    } else {
      EXPECT_EQ(picture.width, 2u) << "mode " << c.mode;
    }
  }
}

// The options act on the picture as the turned screen shows it: a 300x200
// picture fitted to 160x128 is 160x107 there, and is stored turned.
TEST_F(PictureBuildTest, LandscapePicturesFillTheTurnedScreen) {
  const fs::path wide = root_ / "in" / "wide.png";
  testing::WritePicture(wide, 300, 200, std::vector<unsigned char>(300 * 200 * 3, 128));
  book_.PortraitLayout = false;
  book_.ImageMode = 5;
  book_.ImagePngOptions = "-resize 160x128>";
  ASSERT_TRUE(Build("Wide <img " + wide.string() + ">.", 1000)) << error_;
  const testing::Picture picture = testing::ReadPicture(Package("Tales").content["pic1.png"]);
  EXPECT_EQ(picture.width, 107u);
  EXPECT_EQ(picture.height, 160u);
}

TEST_F(PictureBuildTest, ConvertingModesFailWithoutImageMagick) {
  book_.ImageMode = 5;
  book_.CreateConverter = nullptr;
  EXPECT_FALSE(Build("no pictures", 100));
  EXPECT_EQ(error_,
            "Process has not finished due to error: Picture conversion with ImageMagick is not "
            "available");
  ExpectCleanedUp();
}

TEST_F(PictureBuildTest, PhotoBooksConvertInTheConvertingModes) {
  VELKARO_REQUIRE_CORPUS();
  book_.BookMode = false;
  book_.ImageFiles = {Corpus("photo_wood_2560x1920_exif.jpg"),
                      Corpus("gif_transparent_200x150.gif")};
  book_.ImageNotes = {"wood", "gif"};
  book_.ImageMode = 5;
  ASSERT_TRUE(Build("", 1)) << error_;
  testing::Package package = Package("Tales");
  EXPECT_EQ(testing::ReadPicture(package.content["0.png"]).width, 64u);
  EXPECT_EQ(testing::ReadPicture(package.content["1.png"]).width, 64u);
  const std::string& cfg = package.content["cfg.dat"];
  EXPECT_NE(cfg.find(std::string("\0\0\0\3\0p\0n\0g", 10)), std::string::npos);
  EXPECT_EQ(cfg.find(std::string("\0j\0p\0g", 6)), std::string::npos);
  ExpectCleanedUp();
}

}  // namespace
}  // namespace velkaro
