// Whole builds of books whose source is a word-processor document.

#include <gtest/gtest.h>

#include <algorithm>
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

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A text book with phone fonts built from a corpus document into root.
TVelkaro DocumentBook(const fs::path& root, const std::string& name, const std::string& document,
                      int image_mode) {
  TVelkaro book = TVelkaro::CreateDefault();
  book.FileVersion = "4.7.0.246";
  book.MidletsFolder = (root / "midlets").string();
  book.TempFolder = (root / "temp").string();
  book.BookName = name;
  book.BookMode = true;
  book.Font.reset();
  book.PartSize = 100000;
  book.ImageMode = image_mode;
  book.ImageSize = 1000000;
  book.TextFileName = (testing::CorpusFolder() / document).string();
  return book;
}

// The package's pictures by name, and their formats as a reader of pictures
// sees them.
std::map<std::string, std::string> PictureFormats(const testing::Package& package) {
  std::map<std::string, std::string> formats;
  for (const auto& [name, bytes] : package.content) {
    if (name.starts_with("pic")) formats[name] = testing::ReadPicture(bytes).format;
  }
  return formats;
}

// Builds a corpus document as the book "Shown" in one package, with the
// build's converter and phone-sized picture options, and returns the
// package's pictures.
std::map<std::string, std::string> PicturesOfBuild(const fs::path& root,
                                                   const std::string& document, int mode) {
  TVelkaro book = DocumentBook(root, "Shown", document, mode);
  book.CreateConverter = CreateMagickConverter;
  book.ImagePngOptions = "-resize 160x128>";
  book.ImageJpgOptions = "-resize 160x128>";
  book.PartSize = 1000000;
  std::string error;
  EXPECT_TRUE(book.Build(&error)) << error;
  return PictureFormats(testing::ReadPackage(root / "midlets" / "Shown.jar"));
}

TEST(WordBuildTest, BookFromARealDocumentHoldsItsPicturesAndHeadings) {
  VELKARO_REQUIRE_CORPUS();
  testing::ScratchFolder root;
  TVelkaro book =
      DocumentBook(root.path(), "Mars", "docx/powertools_Mars_numbered_headings_jpeg_png.docx", 1);
  std::string error;
  ASSERT_TRUE(book.Build(&error)) << error;

  const std::vector<std::string> log = testing::LogFileLines(root / "midlets" / "Mars.log");
  EXPECT_TRUE(Has(log, "Initializing MS Word"));
  // Five outline-numbered headings and two pictures.
  EXPECT_TRUE(Has(log, "Detected 7 tags"));
  const testing::Package package = testing::ReadPackage(root / "midlets" / "Mars.jar");
  ASSERT_TRUE(package.ok);
  EXPECT_TRUE(package.content.contains("pic1.jpg"));
  EXPECT_TRUE(package.content.contains("pic2.png"));
  EXPECT_FALSE(package.content.contains("tmp1.jpg")) << "clipboard pictures stay outside";
  EXPECT_EQ(package.content.at("pic1.jpg").substr(0, 3), "\xFF\xD8\xFF");
}

// A picture that no converter reads is named in the log and left out; the
// book is made all the same.
TEST(WordBuildTest, APictureThatCanNotBeConvertedIsNamedInTheLog) {
  VELKARO_REQUIRE_CORPUS();
  testing::ScratchFolder root;
  const auto pictures =
      PicturesOfBuild(root.path(), "docx/poi_stress008_de_journal_long_footnotes.docx", 2);
  const std::vector<std::string> log = testing::LogFileLines(root / "midlets" / "Shown.log");
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.starts_with("Can't convert picture 2 (EMF): ");
  }));
  EXPECT_EQ(pictures, (std::map<std::string, std::string>{{"pic1.png", "PNG"}}));
}

// Every picture of a document reaches the phone in every mode but 0, in the
// format the mode asks for: a JPEG in the PNG modes, a PNG in the JPEG mode;
// the modes that choose the smaller take either.
TEST(WordBuildTest, EveryPictureArrivesInEveryMode) {
  VELKARO_REQUIRE_CORPUS();
  struct Case {
    const char* document;
    int mode;
    size_t pictures;
    const char* format;  // "" for either
  };
  // The cover (PNG), one picture as GIF, PNG and JPEG; Mars a JPEG and a PNG.
  const char* epub = "epub/pandoc_test_img_png_jpeg_gif.epub";
  const char* mars = "docx/powertools_Mars_numbered_headings_jpeg_png.docx";
  // PNGs, a GIF and a metafile (WMF); a GIF, a JPEG and a PNG.
  const char* drawing = "docx/poi_drawing_ru_headings_pictures_tables.docx";
  const char* gif_jpeg_png = "docx/docx4j_sample-docx_gif_jpeg_png.docx";
  const Case cases[] = {
      {epub, 0, 0, ""},     {epub, 1, 4, ""},    {epub, 2, 4, "PNG"},     {epub, 3, 4, "JPEG"},
      {epub, 4, 4, ""},     {epub, 5, 4, "PNG"}, {epub, 6, 4, "JPEG"},    {mars, 2, 2, "PNG"},
      {mars, 3, 2, "JPEG"}, {mars, 4, 2, ""},    {drawing, 2, 16, "PNG"}, {gif_jpeg_png, 1, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.document) + " in mode " + std::to_string(c.mode));
    testing::ScratchFolder root;
    const auto pictures = PicturesOfBuild(root.path(), c.document, c.mode);
    const std::vector<std::string> log = testing::LogFileLines(root / "midlets" / "Shown.log");
    EXPECT_LE(std::count(log.begin(), log.end(), "Initializing ImageMagic"), 1);
    EXPECT_EQ(pictures.size(), c.pictures);
    for (const auto& [name, format] : pictures) {
      EXPECT_EQ(format, name.ends_with(".png") ? "PNG" : "JPEG") << name;
      if (*c.format) {
        EXPECT_EQ(format, c.format) << name;
      }
    }
  }
}

}  // namespace
}  // namespace velkaro
