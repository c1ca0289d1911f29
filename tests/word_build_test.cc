// Whole builds of books whose source is a word-processor document.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/velkaro.h"
#include "imaging/magick_converter.h"
#include "tests/package_reader.h"
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
  book.TextFileName = (testing::CorpusFolder() / "docx" / document).string();
  return book;
}

TEST(WordBuildTest, BookFromARealDocumentHoldsItsPicturesAndHeadings) {
  VELKARO_REQUIRE_CORPUS();
  testing::ScratchFolder root;
  TVelkaro book =
      DocumentBook(root.path(), "Mars", "powertools_Mars_numbered_headings_jpeg_png.docx", 1);
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
  TVelkaro book = DocumentBook(root.path(), "Pictures", "docx4j_sample-docx_gif_jpeg_png.docx", 1);
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

}  // namespace
}  // namespace velkaro
