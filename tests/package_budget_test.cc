// Whole builds with a package budget (MaxJarSize) and a compression level:
// packages that fit, as few as the budget allows, readable by other tools,
// and a clear failure for what cannot fit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "engine/velkaro.h"
#include "engine/working_text.h"
#include "imaging/magick_converter.h"
#include "tests/package_reader.h"
#include "tests/testing.h"
#include "tests/text_book_builds.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

using testing::IntAt;

std::u16string FromUtf16Be(const std::string& bytes) {
  std::u16string letters;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    letters += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) << 8 |
                                     static_cast<unsigned char>(bytes[i + 1]));
  }
  return letters;
}

// A package read back, with what its size test needs.
struct BuiltPart {
  fs::path jar;
  uint64_t size = 0;
  testing::Package package;
  // The part's letters, its book files joined.
  std::u16string Letters() {
    std::u16string letters;
    for (int n = 0; package.content.count("book" + std::to_string(n) + ".dat"); ++n) {
      letters += FromUtf16Be(package.content["book" + std::to_string(n) + ".dat"]);
    }
    return letters;
  }
};

class PackageBudgetTest : public testing::TextBookBuilds {
 protected:
  PackageBudgetTest() {
    book_.Tags = true;
    book_.PartSize = 90000;
  }

  bool Build(const fs::path& text_file) {
    fs::remove_all(midlets());
    return BuildFile(text_file);
  }

  // The book's packages, first part first.
  std::vector<BuiltPart> Parts() const {
    std::map<int, BuiltPart> parts;
    const std::regex part_name(book_.BookName + "(\\d*)\\.jar");
    for (const auto& entry : fs::directory_iterator(midlets())) {
      std::smatch match;
      const std::string name = entry.path().filename().string();
      if (!std::regex_match(name, match, part_name)) continue;
      BuiltPart& part = parts[match[1].length() ? std::stoi(match[1]) : 1];
      part.jar = entry.path();
      part.size = fs::file_size(entry.path());
      part.package = testing::ReadPackage(entry.path());
    }
    std::vector<BuiltPart> list;
    for (auto& [number, part] : parts) list.push_back(std::move(part));
    return list;
  }

  std::string LogLine(const std::string& start) const {
    for (const std::string& line : LogLines()) {
      if (line.starts_with(start)) return line;
    }
    return "";
  }
};

bool UnzipTestsClean(const fs::path& jar) {
  return std::system(("unzip -tq '" + jar.string() + "' >/dev/null 2>&1").c_str()) == 0;
}

// The KJV in packages of at most 64 KB: at each level none is larger, their
// letters are the whole book in order, other readers open them, and they are
// hardly more than the fewest that could hold the book: every package carries
// the same fixed files, so no fewer than the text's bytes over the room each
// package leaves for them.
TEST_F(PackageBudgetTest, KjvFitsSixtyFourKilobytesInHardlyMorePartsThanTheFewest) {
  VELKARO_REQUIRE_CORPUS();
  const fs::path kjv = testing::CorpusFolder() / "texts" / "en_kjv_bible.utf8.txt";
  const bool unzip = std::system("unzip -v >/dev/null 2>&1") == 0;
  const std::u16string working =
      PrepareWorkingText(book_.LoadSourceText(kjv.string(), "", nullptr), true, true).text;
  constexpr uint64_t kBudget = 65536;
  const struct {
    int level;
    int32_t part_size;
  } cases[] = {{1, 90000}, {9, 1000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE("Compression=" + std::to_string(c.level));
    book_.Compression = c.level;
    book_.MaxJarSize = 0;
    ASSERT_TRUE(Build(root_.Write("one.txt", "One line.\n"))) << error_;
    const uint64_t fixed = Parts().at(0).size;

    book_.MaxJarSize = kBudget;
    book_.PartSize = c.part_size;
    ASSERT_TRUE(Build(kjv)) << error_;
    std::vector<BuiltPart> parts = Parts();
    uint64_t text_bytes = 0, largest = 0;
    std::u16string letters;
    for (BuiltPart& part : parts) {
      EXPECT_LE(part.size, kBudget) << part.jar;
      ASSERT_TRUE(part.package.ok) << part.jar;
      if (unzip) {
        EXPECT_TRUE(UnzipTestsClean(part.jar)) << part.jar;
      }
      letters += part.Letters();
      text_bytes += part.size - fixed;
      largest = std::max(largest, part.size);
    }
    EXPECT_TRUE(letters == working.substr(0, letters.size())) << "letters lost or moved";
    EXPECT_LE(working.size() - letters.size(), 6u);
    const double fewest = std::ceil(static_cast<double>(text_bytes) / (kBudget - fixed));
    EXPECT_LE(parts.size(), 1.1 * fewest) << parts.size() << " parts, the fewest " << fewest;
    EXPECT_EQ(LogLine("Largest package: "),
              "Largest package: " + std::to_string(largest) + " bytes");
  }
}

// A package's contents list: its part's number and offset, and each
// heading's part.
struct Contents {
  uint32_t part = 0, offset = 0;
  std::vector<uint32_t> heading_parts;
};

Contents ReadContents(const std::string& toc) {
  Contents contents;
  contents.part = IntAt(toc, 0);
  contents.offset = IntAt(toc, 4);
  size_t at = 12 + 2 * IntAt(toc, 8);  // past the book name
  const uint32_t count = IntAt(toc, at);
  for (at += 4; contents.heading_parts.size() < count; at += 8 + 2 * IntAt(toc, at + 4)) {
    contents.heading_parts.push_back(IntAt(toc, at));
  }
  return contents;
}

// The heading positions that cfg.dat lists, past its eleven numbers, four
// texts, check value and password mode.
std::vector<uint32_t> HeadingPositions(const std::string& cfg) {
  size_t at = 11 * 4;
  for (int text = 0; text < 4; ++text) at += 4 + 2 * IntAt(cfg, at);
  std::vector<uint32_t> positions;
  const uint32_t count = IntAt(cfg, at + 8);
  for (at += 12; positions.size() < count; at += 4) positions.push_back(IntAt(cfg, at) >> 8);
  return positions;
}

// Whatever a package holds besides its letters (font files, pictures brought
// or converted, the contents of every part), the budget is measured as the
// archiver packs: no package is larger, the fullest comes within a line of
// it, and each part's contents list puts every heading into the part that
// holds it, though which that is was known only once the text was cut.
TEST_F(PackageBudgetTest, EveryPackageFitsWhateverItHolds) {
  VELKARO_REQUIRE_CORPUS();
  const fs::path images = testing::CorpusFolder() / "images";
  const std::string pictures[] = {(images / "png_gray16_trns_64x64.png").string(),
                                  (images / "png_palette_trns_64x64.png").string(),
                                  (images / "png_gray_alpha_128x128.png").string()};
  // Chapters of the KJV as headings, with a picture after every fourth.
  std::ifstream kjv(testing::CorpusFolder() / "texts" / "en_kjv_bible.utf8.txt");
  std::string text, line;
  for (int chapter = 0; std::getline(kjv, line) && text.size() < 150000;) {
    if (line.starts_with("Genesis ")) {
      text += "<p" + std::to_string(1 + chapter % 2) + ">" + line + "\n";
      if (++chapter % 4 == 0) text += "<img " + pictures[chapter / 4 % 3] + ">\n";
    } else {
      text += line + "\n";
    }
  }
  const fs::path source = root_.Write("book.txt", text);
  const struct {
    int level;
    bool desktop_font;
    int32_t image_mode;
    int32_t password;
    uint64_t budget;
  } cases[] = {{1, false, 2, 0, 24000}, {9, true, 3, 4321, 26000}, {6, true, 5, 0, 30000}};
  book_.CreateConverter = CreateMagickConverter;
  book_.ImagePngOptions = "-resize 48x48";
  for (const auto& c : cases) {
    SCOPED_TRACE("Compression=" + std::to_string(c.level));
    book_.Compression = c.level;
    book_.Font.reset();
    if (c.desktop_font) book_.Font = DesktopFont{"DejaVu Sans", 8, false, false};
    book_.ImageMode = c.image_mode;
    book_.Password = c.password;
    book_.PasswordMode = c.password ? 1 : 0;
    book_.MaxJarSize = static_cast<int32_t>(c.budget);
    ASSERT_TRUE(Build(source)) << error_;
    std::vector<BuiltPart> parts = Parts();
    ASSERT_GT(parts.size(), 5u);
    uint64_t largest = 0;
    std::vector<Contents> contents;
    for (BuiltPart& part : parts) {
      EXPECT_LE(part.size, c.budget) << part.jar;
      largest = std::max(largest, part.size);
      contents.push_back(ReadContents(part.package.content["toc.dat"]));
      EXPECT_EQ(contents.back().part, contents.size());
      EXPECT_EQ(contents.back().heading_parts, contents[0].heading_parts) << part.jar;
    }
    EXPECT_GT(largest + 300, c.budget);
    const std::vector<uint32_t> positions = HeadingPositions(parts[0].package.content["cfg.dat"]);
    ASSERT_EQ(positions.size(), contents[0].heading_parts.size());
    ASSERT_GT(positions.size(), 20u);
    for (size_t h = 0; h < positions.size(); ++h) {
      const uint32_t part = contents[0].heading_parts[h];
      ASSERT_TRUE(part >= 1 && part <= parts.size()) << "heading " << h;
      EXPECT_GE(positions[h], contents[part - 1].offset) << "heading " << h;
      if (part < parts.size()) {
        EXPECT_LT(positions[h], contents[part].offset) << "heading " << h;
      }
    }
  }
}

// What cannot fit however the text is cut fails the build before any package
// is made, saying how much the smallest package needs and naming its largest
// file: a picture, the splash among the files every package carries, or a
// photo book's picture.
TEST_F(PackageBudgetTest, WhatCannotFitFailsNamingItsLargestFile) {
  VELKARO_REQUIRE_CORPUS();
  const std::string big =
      (testing::CorpusFolder() / "images" / "photo_freshflower_1600x1203_progressive.jpg").string();
  const std::string small =
      (testing::CorpusFolder() / "images" / "photo_hopper_128x128.jpg").string();
  const struct {
    std::string name;
    std::string text;  // empty: a photo book of the picture
    std::string splash;
    std::string failure;  // the part name and its largest file
  } cases[] = {
      {"Picture", "A line.\n<img " + small + ">\nMore.\n<img " + big + ">\nThe end.\n", "",
       "Package Picture2 needs \\d+ bytes, more than MaxJarSize 65536; the largest file in it "
       "is pic2\\.jpg, \\d+ bytes"},
      {"Splash", "A line.\n", big,
       "Package Splash1 needs \\d+ bytes, more than MaxJarSize 65536; the largest file in it "
       "is splash\\.png, \\d+ bytes"},
      {"Trip", "", "",
       "Package Trip needs \\d+ bytes, more than MaxJarSize 65536; the largest file in it is "
       "1\\.jpg, \\d+ bytes"},
  };
  book_.ImageMode = 2;
  book_.MaxJarSize = 65536;
  for (const auto& c : cases) {
    book_.BookName = c.name;
    book_.SplashFileName = c.splash;
    book_.BookMode = !c.text.empty();
    book_.ImageFiles = {small, big};
    book_.ImageNotes = {"", ""};
    EXPECT_FALSE(Build(root_.Write(c.name + ".txt", c.text))) << c.name;
    EXPECT_TRUE(
        std::regex_match(error_, std::regex("Process has not finished due to error: " + c.failure)))
        << error_;
    const std::smatch needs = [&] {
      std::smatch m;
      std::regex_search(error_, m, std::regex("needs (\\d+) bytes"));
      return m;
    }();
    EXPECT_GT(std::stoull(needs[1]), 65536u) << error_;
    EXPECT_TRUE(Parts().empty()) << c.name;
  }
}

}  // namespace
}  // namespace velkaro
