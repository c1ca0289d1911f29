#include "engine/part_pictures.h"

#include <gtest/gtest.h>

#include <map>
#include <span>

#include "platform/io_error.h"
#include "tests/fake_converter.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

class PartPicturesTest : public ::testing::Test {
 protected:
  PartPicturesTest() {
    fs::create_directory(work());
    pictures_ = {
        folder_.Write("in/a.png", "AAA").string(), folder_.Write("in/b.JPG", "BBB").string(),
        folder_.Write("in/c.gif", "CCC").string(), folder_.Write("in/a.png", "AAA").string()};
    import_.converter = &converter_;
  }
  fs::path work() const { return folder_ / "work"; }
  std::string Work(const std::string& name) const { return (work() / name).string(); }
  std::vector<std::string> Import(std::u16string& part, int mode) {
    std::vector<std::string> lines;
    import_.mode = mode;
    PartPictures(pictures_, import_, work()).ImportPart(part, [&](const std::string& l) {
      lines.push_back(l);
    });
    return lines;
  }

  testing::ScratchFolder folder_;
  std::vector<std::string> pictures_;
  testing::FakeConverter converter_;
  PictureImport import_;
};

TEST_F(PartPicturesTest, CopiesThePicturesThePartNames) {
  // Picture 1 as PNG, picture 3 as GIF; picture 2 is in another part.
  std::u16string part = u"x\x0001\x2001\x0002 y \x0001\x3003\x0002";
  std::vector<std::string> lines = Import(part, 2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Copy image file " + pictures_[0] + " to " + Work("pic1.png"));
  EXPECT_EQ(testing::ReadBytes(work() / "pic1.png"), "AAA");
  EXPECT_EQ(testing::ReadBytes(work() / "pic3.gif"), "CCC");
  EXPECT_FALSE(fs::exists(work() / "pic2.jpg"));
  EXPECT_TRUE(converter_.calls.empty());
}

TEST_F(PartPicturesTest, MarkersItCannotPlaceAreSkipped) {
  std::u16string part = u"\x0001\x5001\x0002\x0001\x1009\x0002\x0001\x1000\x0002";
  EXPECT_TRUE(Import(part, 1).empty()) << "type 5, a number past the list, number 0";
  std::u16string marker = u"\x0001\x2001\x0002";
  EXPECT_TRUE(Import(marker, 0).empty());
  EXPECT_TRUE(Import(marker, 7).empty());
  EXPECT_TRUE(fs::is_empty(work()));
}

TEST_F(PartPicturesTest, ConvertingModesRewriteTheMarkerTypes) {
  const struct {
    int mode;
    char16_t type;  // of both markers afterwards
    std::string extension;
  } cases[] = {{4, 0x2000, ".png"}, {5, 0x2000, ".png"}, {6, 0x1000, ".jpg"}};
  for (const auto& c : cases) {
    // Pictures 1 and 4 name the same file: it is brought in twice.
    std::u16string part =
        u"a\x0001\x3001\x0002"
        u"b\x0001\x5004\x0002";
    std::vector<std::string> lines = Import(part, c.mode);
    EXPECT_EQ(part, std::u16string(u"a\x0001") + char16_t(c.type | 1) +
                        u"\x0002"
                        u"b\x0001" +
                        char16_t(c.type | 4) + u"\x0002");
    const std::string size = c.extension == ".png" ? "10" : "20";
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Resize and convert image " + pictures_[0] + " to " +
                                            Work("pic1" + c.extension) + " (" + size + " bytes)",
                                        "Resize and convert image " + pictures_[3] + " to " +
                                            Work("pic4" + c.extension) + " (" + size + " bytes)"}))
        << "mode " << c.mode;
    EXPECT_EQ(std::distance(fs::directory_iterator(work()), fs::directory_iterator()), 2);
    fs::remove_all(work());
    fs::create_directory(work());
  }
}

TEST_F(PartPicturesTest, AFailureStopsAfterTheLinesOfThePicturesBeforeIt) {
  converter_.failing[pictures_[2]] = "improper image header";
  converter_.warnings = {"a warning"};
  std::u16string part = u"\x0001\x2001\x0002\x0001\x2003\x0002\x0001\x2002\x0002";
  std::vector<std::string> lines;
  import_.mode = 5;
  EXPECT_EQ(testing::FailureOf([&] {
              PartPictures(pictures_, import_, work()).ImportPart(part, [&](const std::string& l) {
                lines.push_back(l);
              });
            }),
            "improper image header");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "ImageMagick: a warning");
  EXPECT_EQ(lines[1].rfind("Resize and convert image " + pictures_[0], 0), 0u);
}

TEST_F(PartPicturesTest, LandscapeBooksTurnCopiedPicturesInTheirFormat) {
  import_.turn = true;
  converter_.sizes[".gif"] = 5;
  std::u16string part = u"\x0001\x3003\x0002";
  EXPECT_EQ(Import(part, 1), std::vector<std::string>{"Turn image file " + pictures_[2] + " to " +
                                                      Work("pic3.gif") + " (5 bytes)"});
  ASSERT_EQ(converter_.calls.size(), 1u);
  EXPECT_EQ(converter_.calls[0],
            (std::vector<std::string>{pictures_[2], "-rotate", "90", Work("pic3.gif")}));
}

// Pictures imported ahead, once for the whole text, reach each part as they
// would have without: the same lines, files and marker types, and no
// picture is converted again.
TEST_F(PartPicturesTest, PicturesImportedAheadReachTheirPartsUnchanged) {
  converter_.warnings = {"a warning"};
  const std::u16string first =
      u"a\x0001\x2001\x0002"
      u"b\x0001\x1002\x0002";
  const std::u16string second = u"c\x0001\x3003\x0002";
  struct Built {
    std::u16string text;
    std::vector<std::string> lines;
    std::map<std::string, std::string> files;  // "part/name" -> bytes
  };
  for (int mode : {2, 4}) {
    import_.mode = mode;
    const auto build = [&](bool ahead) {
      Built built{first + second, {}, {}};
      PartPictures pictures(pictures_, import_, work());
      if (ahead) pictures.ImportAhead(built.text, folder_ / "ahead");
      const size_t calls = converter_.calls.size();
      for (auto [at, size] : {std::pair{size_t{0}, first.size()}, {first.size(), second.size()}}) {
        pictures.ImportPart(std::span(built.text).subspan(at, size),
                            [&](const std::string& l) { built.lines.push_back(l); });
        for (const auto& file : fs::directory_iterator(work())) {
          built.files[std::to_string(at) + "/" + file.path().filename().string()] =
              testing::ReadBytes(file.path());
        }
        fs::remove_all(work());
        fs::create_directory(work());
      }
      if (ahead) {
        EXPECT_EQ(converter_.calls.size(), calls) << "mode " << mode;
      }
      return built;
    };
    fs::create_directory(folder_ / "ahead");
    const Built direct = build(false);
    const Built ahead = build(true);
    EXPECT_EQ(ahead.text, direct.text) << "mode " << mode;
    EXPECT_EQ(ahead.lines, direct.lines) << "mode " << mode;
    EXPECT_EQ(ahead.files, direct.files) << "mode " << mode;
    EXPECT_EQ(direct.files.size(), 3u) << "mode " << mode;
    fs::remove_all(folder_ / "ahead");
  }
}

TEST_F(PartPicturesTest, VanishedPictureFailsClearly) {
  fs::remove(pictures_[1]);
  std::u16string part = u"\x0001\x1002\x0002";
  EXPECT_EQ(testing::FailureOf([&] { Import(part, 3); }),
            "Can not copy file " + pictures_[1] + " to " + Work("pic2.jpg"));
}

}  // namespace
}  // namespace velkaro
