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

// A GIF in a document reaches the phone as PNG once the build's converter
// has made one of it, even in a mode that only copies pictures.
TEST(WordBuildTest, GifPictureIsConvertedInACopyingMode) {
  VELKARO_REQUIRE_CORPUS();
  testing::ScratchFolder root;
  TVelkaro book =
      DocumentBook(root.path(), "Pictures", "docx/docx4j_sample-docx_gif_jpeg_png.docx", 1);
  book.CreateConverter = CreateMagickConverter;
  std::string error;
  ASSERT_TRUE(book.Build(&error)) << error;

  const std::vector<std::string> log = testing::LogFileLines(root / "midlets" / "Pictures.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), "Initializing ImageMagic"), 1);
  const testing::Package package = testing::ReadPackage(root / "midlets" / "Pictures.jar");
  ASSERT_TRUE(package.ok);
  const auto pictures =
      std::count_if(package.content.begin(), package.content.end(),
                    [](const auto& entry) { return entry.first.starts_with("pic"); });
  EXPECT_EQ(pictures, 3) << "a JPEG, a PNG and the GIF as PNG";
}

// A picture that no converter reads is named in the log and left out; the
// book is made all the same.
TEST(WordBuildTest, APictureThatCanNotBeConvertedIsNamedInTheLog) {
  VELKARO_REQUIRE_CORPUS();
  testing::ScratchFolder root;
  TVelkaro book =
      DocumentBook(root.path(), "Journal", "docx/poi_stress008_de_journal_long_footnotes.docx", 2);
  book.CreateConverter = CreateMagickConverter;
  book.PartSize = 1000000;  // one package
  std::string error;
  ASSERT_TRUE(book.Build(&error)) << error;
  const std::vector<std::string> log = testing::LogFileLines(root / "midlets" / "Journal.log");
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.starts_with("Can't convert picture 2 (EMF): ");
  }));
  const auto pictures = PictureFormats(testing::ReadPackage(root / "midlets" / "Journal.jar"));
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
  // PNGs, a GIF and a metafile (WMF).
  const char* drawing = "docx/poi_drawing_ru_headings_pictures_tables.docx";
  const Case cases[] = {
      {epub, 0, 0, ""},     {epub, 1, 4, ""},    {epub, 2, 4, "PNG"},  {epub, 3, 4, "JPEG"},
      {epub, 4, 4, ""},     {epub, 5, 4, "PNG"}, {epub, 6, 4, "JPEG"}, {mars, 2, 2, "PNG"},
      {mars, 3, 2, "JPEG"}, {mars, 4, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.document) + " in mode " + std::to_string(c.mode));
    testing::ScratchFolder root;
    TVelkaro book = DocumentBook(root.path(), "Shown", c.document, c.mode);
    book.CreateConverter = CreateMagickConverter;
    book.ImagePngOptions = "-resize 160x128>";
    book.ImageJpgOptions = "-resize 160x128>";
    std::string error;
    ASSERT_TRUE(book.Build(&error)) << error;
    const auto pictures = PictureFormats(testing::ReadPackage(root / "midlets" / "Shown.jar"));
    EXPECT_EQ(pictures.size(), c.pictures);
    for (const auto& [name, format] : pictures) {
      EXPECT_EQ(format, name.ends_with(".png") ? "PNG" : "JPEG") << name;
      if (*c.format) EXPECT_EQ(format, c.format) << name;
    }
  }
}

}  // namespace
}  // namespace velkaro
