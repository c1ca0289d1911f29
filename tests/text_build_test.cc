// Whole builds of text books: parts, their packages, book files and log.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <regex>

#include "engine/velkaro.h"
#include "tests/docx_maker.h"
#include "tests/package_reader.h"
#include "tests/testing.h"
#include "tests/text_book_builds.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

std::string Utf16Be(std::u16string_view text, uint16_t key = 0) {
  std::string bytes;
  for (char16_t letter : text) {
    uint16_t x = letter ^ key;
    bytes += {static_cast<char>(x >> 8), static_cast<char>(x & 0xFF)};
  }
  return bytes;
}

using testing::IntAt;

class TextBuildTest : public testing::TextBookBuilds {
 protected:
  std::string Work(const std::string& name) const { return (root_ / "temp" / name).string(); }

  bool Build(const std::string& text, int part_size) {
    book_.PartSize = part_size;
    return BuildFile(root_.Write("book.txt", text));
  }

  testing::Package Package(const std::string& part_name) const { return PackageOf(part_name); }
};

TEST_F(TextBuildTest, ThreePartsAtTheCutCharacters) {
  ASSERT_TRUE(Build("One. Two! Three? Four.", 10)) << error_;
  EXPECT_EQ(Package("Tales1").content["book0.dat"], Utf16Be(u"One. Two!"));
  EXPECT_EQ(Package("Tales2").content["book0.dat"], Utf16Be(u" Three?"));
  EXPECT_EQ(Package("Tales3").content["book0.dat"], Utf16Be(u" Four. "));
  EXPECT_FALSE(fs::exists(midlets() / "Tales.jar"));
  EXPECT_NE(ReadBytes(midlets() / "Tales3.jad").find("MIDlet-Jar-URL: Tales3.jar\r\n"),
            std::string::npos);

  std::vector<std::string> log = LogLines();
  auto at = std::find(log.begin(), log.end(), "Processing part 2 from 3 (offset 10)...");
  ASSERT_NE(at, log.end());
  const std::string jar_size = std::to_string(fs::file_size(midlets() / "Tales2.jar"));
  const std::string jad_size = std::to_string(fs::file_size(midlets() / "Tales2.jad"));
  const std::vector<std::string> expected = {
      "Processing part 2 from 3 \\(offset 10\\)\\.\\.\\.",
      "Create file " + Work("META-INF/MANIFEST.MF") + ", size \\d+ bytes",
      "Part contains 7 letters in total and 6 unique letters",
      "Create text file " + Work("book0.dat") + ", size 14 bytes ",
      "Create cfg file " + Work("cfg.dat") + ", size 136 bytes",
      "Create file " + Work("toc.dat") + ", size 26 bytes",
      "Creating jar file\\.\\.\\.",
      "Create midlet Tales2\\.jar, size " + jar_size + " bytes",
      "Create file " + midlets().string() + "/Tales2\\.jad, size " + jad_size + " bytes",
      "Create Tales2\\.jad, size " + jad_size + " bytes",
      "Processing part 3 from 3 \\(offset 17\\)\\.\\.\\.",
  };
  ASSERT_GE(log.end() - at, static_cast<long>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(std::regex_match(at[i], std::regex(expected[i]))) << at[i];
  }
  // The last package line is followed by the largest package's size.
  uintmax_t largest = 0;
  for (const char* part : {"Tales1", "Tales2", "Tales3"}) {
    largest = std::max(largest, fs::file_size(midlets() / (std::string(part) + ".jar")));
  }
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "Largest package: " + std::to_string(largest) + " bytes");
}

// A book file in UTF-16 little-endian, mark included.
std::string Utf16LeFile(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t letter : text)
    bytes += {static_cast<char>(letter & 0xFF), static_cast<char>(letter >> 8)};
  return bytes;
}

// Letters no installed font has (lone surrogates here) are named after the
// part's letter count, the first twenty of them; only with a desktop font.
TEST_F(TextBuildTest, LettersWithoutAGlyphAreNamed) {
  std::u16string surrogates;
  for (char16_t letter = 0xD800; letter < 0xD816; ++letter) surrogates += letter;
  const std::string line = "Letters without a glyph in any installed font: ";
  struct Case {
    bool desktop_font;
    std::u16string text;
    std::string logged;  // empty: no such line
  };
  for (const Case& c : std::vector<Case>{
           {true, u"Hi\xD800", line + "1 ?"},
           {true, u"Hi" + surrogates, line + "22 " + std::string(20, '?')},
           {true, u"Hi \u65E5\n", ""},
           {false, u"Hi\xD800", ""},
       }) {
    SCOPED_TRACE(c.text.size());
    if (c.desktop_font) {
      book_.Font = DesktopFont{.Name = "DejaVu Sans", .Size = 9, .Bold = false, .Italic = false};
    } else {
      book_.Font.reset();
    }
    book_.TextFileName = root_.Write("book.txt", Utf16LeFile(c.text)).string();
    book_.PartSize = 1000;
    ASSERT_TRUE(book_.Build(&error_)) << error_;
    const std::vector<std::string> log = LogLines();
    auto part = std::find_if(log.begin(), log.end(),
                             [](const std::string& l) { return l.starts_with("Part contains"); });
    ASSERT_NE(part, log.end());
    ASSERT_NE(part + 1, log.end());
    EXPECT_EQ(part[1].starts_with(line) ? part[1] : "", c.logged);
  }
}

TEST_F(TextBuildTest, OnePartIsNamedLikeTheBook) {
  ASSERT_TRUE(Build("Hi", 100)) << error_;
  testing::Package package = Package("Tales");
  ASSERT_TRUE(package.ok);
  EXPECT_EQ(package.content["book0.dat"], Utf16Be(u"Hi "));
  EXPECT_EQ(package.content["TBookMIDlet.class"].size(), 35407u);
  EXPECT_EQ(package.content.count("font0.dat"), 0u) << "phone fonts only";
  EXPECT_EQ(IntAt(package.content["cfg.dat"], 0), 3u) << "the part's length";
}

TEST_F(TextBuildTest, FewLettersLeftMakeNoFurtherPart) {
  ASSERT_TRUE(Build("Hi. Go!", 4)) << error_;
  EXPECT_TRUE(fs::exists(midlets() / "Tales1.jar"));
  EXPECT_FALSE(fs::exists(midlets() / "Tales2.jar"));
  EXPECT_EQ(Package("Tales1").content["book0.dat"], Utf16Be(u"Hi."));
}

// A "<" that no ">" closes on its line is a letter: the rest of the book
// stays.
TEST_F(TextBuildTest, AnUnclosedTagKeepsTheRestOfTheBook) {
  book_.Tags = true;
  ASSERT_TRUE(Build("a <p2> b <never closed\n<p3>c", 100)) << error_;
  EXPECT_EQ(Package("Tales").content["book0.dat"], Utf16Be(u"a  b <never closed\nc "));
}

TEST_F(TextBuildTest, BookFilesHold4096LettersEach) {
  ASSERT_TRUE(Build(std::string(4096, 'a') + "b", 100000)) << error_;
  testing::Package package = Package("Tales");
  EXPECT_EQ(package.content["book0.dat"].size(), 8192u);
  EXPECT_EQ(package.content["book1.dat"], Utf16Be(u"b "));
}

TEST_F(TextBuildTest, PasswordKeysTheBookFilesOnlyWhenAPasswordIsAsked) {
  book_.Password = 0x12345;
  book_.PasswordMode = 0;
  ASSERT_TRUE(Build("Hi", 100)) << error_;
  EXPECT_EQ(Package("Tales").content["book0.dat"], Utf16Be(u"Hi ")) << "a stale password";
  book_.PasswordMode = 1;
  ASSERT_TRUE(Build("Hi", 100)) << error_;
  EXPECT_EQ(Package("Tales").content["book0.dat"], Utf16Be(u"Hi ", 0x2345));
}

TEST_F(TextBuildTest, HeadingsAndPicturesTravelWithTheirParts) {
  book_.Tags = true;
  book_.ImageMode = 2;
  std::string map = root_.Write("map.png", "MAP").string();
  std::string key = root_.Write("key.png", "KEY").string();
  ASSERT_TRUE(Build("<p1>Intro. <img " + map + "> Once! <p2>Next? <img " + key + "> End.", 20))
      << error_;
  testing::Package first = Package("Tales1");
  testing::Package second = Package("Tales2");
  EXPECT_EQ(first.content["pic1.png"], "MAP");
  EXPECT_EQ(first.content.count("pic2.png"), 0u);
  EXPECT_EQ(second.content["pic2.png"], "KEY");
  EXPECT_EQ(second.content.count("pic1.png"), 0u);
  // The heading list is the book's, in every part: "Intro. " + marker + " Once! " precede p2.
  for (testing::Package* package : {&first, &second}) {
    const std::string& cfg = package->content["cfg.dat"];
    ASSERT_GE(cfg.size(), 12u);
    EXPECT_EQ(IntAt(cfg, cfg.size() - 12), 2u);
    EXPECT_EQ(IntAt(cfg, cfg.size() - 8), 0u * 256 + 1);
    EXPECT_EQ(IntAt(cfg, cfg.size() - 4), 17u * 256 + 2);
    // Each part names the part of every heading, so the first part lists "Next?" too.
    const std::string& toc = package->content["toc.dat"];
    EXPECT_NE(toc.find(Utf16Be(u"Intro.")), std::string::npos);
    EXPECT_NE(toc.find(Utf16Be(u"Next?")), std::string::npos);
  }
  EXPECT_EQ(IntAt(second.content["toc.dat"], 0), 2u) << "the part's number";
  EXPECT_EQ(IntAt(second.content["toc.dat"], 4), IntAt(first.content["cfg.dat"], 0))
      << "the part's offset in the book: the first part's length";
  EXPECT_EQ(first.content["book0.dat"].substr(14, 6), Utf16Be(u"\x0001\x2001\x0002"));
}

TEST_F(TextBuildTest, FailureInPartTwoKeepsPartOne) {
  // A folder in the descriptor's place: the package cannot go in without it.
  fs::create_directories(midlets() / "Tales2.jad");
  EXPECT_FALSE(Build("One. Two! Three? Four.", 10));
  EXPECT_EQ(error_, "Process has not finished due to error: File access denied");
  EXPECT_TRUE(fs::exists(midlets() / "Tales1.jar"));
  EXPECT_TRUE(fs::exists(midlets() / "Tales1.jad"));
  EXPECT_FALSE(fs::exists(midlets() / "Tales2.jar"));
  EXPECT_FALSE(fs::exists(midlets() / "Tales2.jar.partial"));
  EXPECT_FALSE(fs::exists(midlets() / "Tales3.jar"));
  EXPECT_TRUE(fs::is_empty(root_ / "temp" / "META-INF"));
}

TEST_F(TextBuildTest, FewerPartsLeaveTheOldLastPartAlone) {
  ASSERT_TRUE(Build("One. Two! Three? Four.", 10)) << error_;
  const std::string third = ReadBytes(midlets() / "Tales3.jar");
  ASSERT_TRUE(Build("One. Two! Three? Four.", 14)) << error_;
  EXPECT_EQ(ReadBytes(midlets() / "Tales3.jar"), third);
  EXPECT_EQ(Package("Tales2").content["book0.dat"], Utf16Be(u" Three? Four. "));
}

TEST_F(TextBuildTest, ShorterPartCarriesNoFilesOfTheLongerOneBefore) {
  // Part 1: two book files and, at 40 points, several font files; part 2 few.
  std::string first;
  for (char c = '!'; c <= '~'; ++c) first += std::string(60, c);
  first.erase(std::remove(first.begin(), first.end(), '.'), first.end());
  book_.Font = DesktopFont{"DejaVu Sans", 40, false, false};
  ASSERT_TRUE(Build(first + ". ab. cd. ef. gh.", static_cast<int>(first.size()) + 1)) << error_;
  testing::Package one = Package("Tales1");
  testing::Package two = Package("Tales2");
  ASSERT_EQ(one.content.count("book1.dat"), 1u);
  ASSERT_EQ(one.content.count("font1.dat"), 1u);
  EXPECT_EQ(two.content.count("book1.dat"), 0u);
  EXPECT_EQ(two.content.count("font1.dat"), 0u);
  EXPECT_EQ(two.content["book0.dat"], Utf16Be(u" ab. cd. ef. gh. "));
}

TEST_F(TextBuildTest, DesktopFontAddsFontFiles) {
  book_.Font = DesktopFont{"DejaVu Sans", 10, false, false};
  ASSERT_TRUE(Build("Hello", 100)) << error_;
  testing::Package package = Package("Tales");
  EXPECT_GT(package.content["font0.dat"].size(), 68u);
  EXPECT_EQ(package.content.count("font1.dat"), 0u);
}

TEST_F(TextBuildTest, SourceThatIsNoFileSaysWhatItIs) {
  const std::string pipe = (root_ / "pipe.txt").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  const std::string folder = root_.path().string() + "/folder.txt";
  fs::create_directory(folder);
  book_.PartSize = 10;
  for (const std::string& source : {pipe, folder}) {
    book_.TextFileName = source;
    EXPECT_FALSE(book_.Build(&error_));
    EXPECT_EQ(error_, "Process has not finished due to error: Can not load text from file " +
                          source + ", error: " + source +
                          (source == folder ? " is a folder" : " is not a regular file"));
  }
  book_.TextFileName = root_.Write("book.txt", "Hello").string();
  book_.Font = DesktopFont{pipe, 10, false, false};
  EXPECT_FALSE(book_.Build(&error_));
  EXPECT_EQ(error_, "Process has not finished due to error: Can not create font file " + pipe +
                        ", error: font file " + pipe + " not found");
}

TEST_F(TextBuildTest, MissingSourceFails) {
  book_.TextFileName = (root_ / "none.txt").string();
  book_.PartSize = 10;
  EXPECT_FALSE(book_.Build(&error_));
  EXPECT_EQ(error_, "Process has not finished due to error: Can not load text from file " +
                        book_.TextFileName + ", error: File not found");
}

// Picture tags with a relative path not found from the current folder are
// looked for beside the source text; each missing picture is named once.
TEST_F(TextBuildTest, PicturesBesideTheSourceAndMissingOnesNamed) {
  root_.Write("pictures/harbour.png", testing::TinyPng());
  book_.Tags = true;
  book_.ImageMode = 2;
  book_.ImageSize = 100000;
  ASSERT_TRUE(Build("<img pictures/harbour.png> The harbour. <img gone.png> <img gone.png>", 90000))
      << error_;
  EXPECT_EQ(Package("Tales").content.count("pic1.png"), 1u);
  const std::vector<std::string> log = LogLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Picture file not found: gone.png"), 1);
}

// Sets the build's cancel flag when a log line starts as given.
class CancelOnLine : public LogSink {
 public:
  explicit CancelOnLine(std::string start) : start_(std::move(start)) {}
  void AppendLine(const std::string& line) override {
    if (line.starts_with(start_)) cancel_ = true;
  }
  std::atomic<bool> cancel_ = false;

 private:
  std::string start_;
};

// A cancelled build stops before its next step and leaves the packages of
// the build before as they were, whole: nothing of its own is placed, left
// aside or left in the work folder. Past its last step a build finishes.
TEST_F(TextBuildTest, CancelStopsAtTheNextStepAndKeepsThePackagesBefore) {
  const std::string before = "Aaaa. Bbbb. Cccc. Dddd. Eeee. Ffff.";
  const std::string after = "Gggg. Hhhh. Iiii. Jjjj. Kkkk. Llll.";
  const struct {
    std::string line;  // the cancel comes while this line is logged
    int parts_built;
  } cases[] = {
      {"Checking directories", 0},   {"Processing text", 0},          {"Processing part 1 from", 0},
      {"Processing part 3 from", 0}, {"Create midlet Tales2.jar", 0}, {"Create Tales6.jad", 6},
  };
  for (const auto& c : cases) {
    book_.LogView = nullptr;
    book_.Cancel = nullptr;
    ASSERT_TRUE(Build(before, 6)) << error_;
    std::vector<std::string> old_packages;
    for (int part = 1; part <= 6; ++part) {
      old_packages.push_back(ReadBytes(midlets() / ("Tales" + std::to_string(part) + ".jar")));
    }
    ASSERT_FALSE(fs::exists(midlets() / "Tales7.jar"));

    CancelOnLine sink(c.line);
    book_.LogView = &sink;
    book_.Cancel = &sink.cancel_;
    const bool finished = Build(after, 6);
    EXPECT_EQ(finished, c.parts_built == 6) << c.line;
    const std::vector<std::string> log = LogLines();
    if (!finished) {
      EXPECT_EQ(error_, "Build cancelled") << c.line;
      EXPECT_EQ(log.back(), "Build cancelled") << c.line;
    }
    for (int part = 1; part <= 6; ++part) {
      const std::string name = "Tales" + std::to_string(part);
      const testing::Package package = Package(name);
      ASSERT_TRUE(package.ok) << c.line << " " << name;
      EXPECT_EQ(ReadBytes(midlets() / (name + ".jar")) == old_packages[part - 1],
                part > c.parts_built)
          << c.line << " " << name;
      EXPECT_NE(ReadBytes(midlets() / (name + ".jad"))
                    .find("MIDlet-Jar-Size: " +
                          std::to_string(fs::file_size(midlets() / (name + ".jar")))),
                std::string::npos)
          << c.line << " " << name;
    }
    for (const std::string& name : testing::SortedNames(midlets())) {
      EXPECT_FALSE(name.ends_with(".partial")) << c.line << " " << name;
    }
    EXPECT_EQ(testing::SortedNames(root_ / "temp"), std::vector<std::string>{"META-INF"}) << c.line;
  }
}

}  // namespace
}  // namespace velkaro
