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
#include "tests/package_reader.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

uint32_t IntAt(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return v;
}

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

class PackageBudgetTest : public ::testing::Test {
 protected:
  PackageBudgetTest() : book_(TVelkaro::CreateDefault()) {
    book_.FileVersion = "4.7.0.246";
    book_.MidletsFolder = midlets().string();
    book_.TempFolder = (root_ / "temp").string();
    book_.BookName = "Tales";
    book_.BookMode = true;
    book_.Font.reset();
    book_.Format = true;
    book_.Tags = true;
    book_.PartSize = 90000;
  }

  fs::path midlets() const { return root_ / "midlets"; }

  bool Build(const fs::path& text_file) {
    book_.TextFileName = text_file.string();
    error_.clear();
    fs::remove_all(midlets());
    return book_.Build(&error_);
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
    for (const std::string& line : testing::LogFileLines(midlets() / (book_.BookName + ".log"))) {
      if (line.starts_with(start)) return line;
    }
    return "";
  }

  testing::ScratchFolder root_;
  TVelkaro book_;
  std::string error_;
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
      if (unzip) EXPECT_TRUE(UnzipTestsClean(part.jar)) << part.jar;
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

}  // namespace
}  // namespace velkaro
