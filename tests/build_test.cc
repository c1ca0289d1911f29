// Whole builds of photo books and failing builds, checked through the log,
// the packages and what is left in the folders.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "engine/velkaro.h"
#include "platform/folder_lock.h"
#include "tests/package_reader.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

class CapturedLog : public LogSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class BuildTest : public ::testing::Test {
 protected:
  BuildTest() : book_(TVelkaro::CreateDefault()) {
    book_.FileVersion = "4.7.0.246";
    book_.MidletsFolder = midlets().string();
    book_.TempFolder = work().string();
    book_.RunMode = 1;
    book_.LogView = &log_;
  }

  fs::path midlets() const { return root_ / "midlets"; }
  fs::path work() const { return root_ / "temp"; }

  void MakePhotoBook(const std::string& name) {
    book_.BookName = name;
    book_.BookMode = false;
    book_.BookInfo = "Pictures";
    book_.ImageFiles = {root_.Write("in/first.png", "first picture").string(),
                        root_.Write("in/second.JPG", "second picture").string()};
    book_.ImageNotes = {"A note", ""};
  }

  bool Build() {
    error_.clear();
    return book_.Build(&error_);
  }

  testing::ScratchFolder root_;
  TVelkaro book_;
  CapturedLog log_;
  std::string error_;
};

TEST_F(BuildTest, PhotoBookLogMatchesLineByLine) {
  fs::create_directory(midlets());
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;

  const std::string m = midlets().string(), w = work().string();
  const std::string jar_size = std::to_string(fs::file_size(midlets() / "Trip.jar"));
  const std::string jad_size = std::to_string(fs::file_size(midlets() / "Trip.jad"));
  const std::vector<std::string> expected = {
      "Process started at \\d\\d:\\d\\d:\\d\\d in CLI mode",
      "Velkaro version: 4\\.7\\.0\\.246",
      "Checking directories\\.\\.\\.",
      "Temporary directory " + m + " - Ok",
      "Temporary directory " + w + " - Ok",
      "Temporary directory " + w + "/META-INF - Ok",
      "Creating temporary files\\.\\.\\.",
      "Create file " + w + "/point\\.png, size 264 bytes",
      "Create file " + w + "/logo\\.png, size 407 bytes",
      "Create file " + w + "/TBookCanvas\\.class, size 799 bytes",
      "Create file " + w + "/TBookN1Canvas\\.class, size 825 bytes",
      "Create file " + w + "/TBookN2Canvas\\.class, size 864 bytes",
      "Create file " + w + "/TBookCanvasInit\\.class, size 225 bytes",
      "Create file " + w + "/TBookMIDlet\\.class, size 8597 bytes",
      "Create file " + w + "/META-INF/MANIFEST\\.MF, size \\d+ bytes",
      "Create file " + w + "/0\\.png from " + book_.ImageFiles[0],
      "Create file " + w + "/1\\.JPG from " + book_.ImageFiles[1],
      "Create cfg file " + w + "/cfg\\.dat, size 90 bytes",
      "Creating jar file\\.\\.\\.",
      "Create midlet Trip\\.jar, size " + jar_size + " bytes",
      "Create file " + m + "/Trip\\.jad, size " + jad_size + " bytes",
      "Create Trip\\.jad, size " + jad_size + " bytes",
      "Process successfully ended at \\d\\d:\\d\\d:\\d\\d",
  };
  std::vector<std::string> file_lines = testing::LogFileLines(midlets() / "Trip.log");
  ASSERT_EQ(file_lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(std::regex_match(file_lines[i], std::regex(expected[i])))
        << "line " << i << ": " << file_lines[i];
  }
  EXPECT_EQ(log_.lines, file_lines);
  EXPECT_TRUE(fs::is_empty(work() / "META-INF"));
  EXPECT_EQ(std::distance(fs::directory_iterator(work()), fs::directory_iterator()), 1)
      << "only META-INF stays in the work folder";
}

TEST_F(BuildTest, PhotoBookPackageHoldsGalleryConfigAndManifest) {
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;

  testing::Package package = testing::ReadPackage(midlets() / "Trip.jar");
  ASSERT_TRUE(package.ok);
  ASSERT_GE(package.names.size(), 3u);
  EXPECT_EQ(package.names[package.names.size() - 2], "META-INF/");
  EXPECT_EQ(package.names.back(), "META-INF/MANIFEST.MF");
  EXPECT_EQ(package.content["0.png"], "first picture");
  EXPECT_EQ(package.content["1.JPG"], "second picture");
  EXPECT_EQ(package.content["TBookMIDlet.class"].size(), 8597u);
  EXPECT_EQ(package.content["logo.png"].size(), 407u);
  EXPECT_EQ(package.content.count("splash.png"), 0u);

  const std::string identity =
      "MIDlet-Name: Trip\r\nMIDlet-Version: 4.7.0\r\nMIDlet-Vendor: Dornwick\r\n"
      "MIDlet-Description: Velkaro made by Dornwick\r\n"
      "MIDlet-Info-URL: https://dornwick.example/velkaro\r\nMIDlet-Icon: /logo.png\r\n";
  const std::string tail =
      "MIDlet-1: Trip, /logo.png, TBookMIDlet\r\nMicroEdition-Profile: MIDP-1.0\r\n"
      "MicroEdition-Configuration: CLDC-1.0\r\n";
  EXPECT_EQ(package.content["META-INF/MANIFEST.MF"], "Manifest-Version: 1.0\r\n" + identity + tail);
  EXPECT_EQ(ReadBytes(midlets() / "Trip.jad"),
            identity + "MIDlet-Jar-URL: Trip.jar\r\nMIDlet-Jar-Size: " +
                std::to_string(fs::file_size(midlets() / "Trip.jar")) + "\r\n" + tail);

  const std::string cfg = package.content["cfg.dat"];
  ASSERT_EQ(cfg.size(), 90u);  // 16 + six texts
  EXPECT_EQ(cfg.substr(0, 4), std::string("\0\0\0\2", 4)) << "two pictures";
  EXPECT_EQ(cfg.substr(4, 12), std::string("\0\0\0\xFF\0\0\0\xFF\0\0\0\xFF", 12)) << "white";
  EXPECT_NE(cfg.find(std::string("\0J\0P\0G", 6)), std::string::npos) << "extension as written";
}

TEST_F(BuildTest, SplashAndIconAreCopiedIntoThePackage) {
  MakePhotoBook("Trip");
  book_.SplashFileName = root_.Write("in/splash.png", "splash bytes").string();
  book_.IconFileName = root_.Write("in/icon.png", "icon bytes").string();
  ASSERT_TRUE(Build()) << error_;
  testing::Package package = testing::ReadPackage(midlets() / "Trip.jar");
  EXPECT_EQ(package.content["splash.png"], "splash bytes");
  EXPECT_EQ(package.content["logo.png"], "icon bytes");
}

TEST_F(BuildTest, RebuildReplacesThePackage) {
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;
  book_.ImageFiles.pop_back();
  book_.ImageNotes.pop_back();
  ASSERT_TRUE(Build()) << error_;
  testing::Package package = testing::ReadPackage(midlets() / "Trip.jar");
  EXPECT_EQ(package.content.count("1.JPG"), 0u);
  EXPECT_EQ(testing::LogFileLines(midlets() / "Trip.log").size(), 22u)
      << "the log holds the last build only";
}

// Checks that a failed build logged `message` as its last line and returned it.
#define EXPECT_FAILED_WITH(message)                                                        \
  do {                                                                                     \
    EXPECT_FALSE(Build());                                                                 \
    EXPECT_EQ(error_, std::string("Process has not finished due to error: ") + (message)); \
    ASSERT_FALSE(log_.lines.empty());                                                      \
    EXPECT_EQ(log_.lines.back(), error_);                                                  \
  } while (0)

TEST_F(BuildTest, EmptyBookNameStopsAfterTheVersionLine) {
  fs::create_directory(midlets());
  MakePhotoBook("");
  EXPECT_FAILED_WITH("Book name is empty");
  EXPECT_EQ(log_.lines.size(), 3u);
  EXPECT_EQ(testing::LogFileLines(midlets() / ".log").size(), 3u);
  EXPECT_FALSE(fs::exists(work())) << "the work folder is neither created nor emptied";
}

TEST_F(BuildTest, BookNameThatLeavesTheMidletsFolderWritesNothing) {
  fs::create_directory(midlets());
  for (std::string name : {"../outside", "a/b", "a\\b", ".", ".."}) {
    MakePhotoBook(name);
    SCOPED_TRACE(name);
    EXPECT_FAILED_WITH("Book name is not a valid file name");
  }
  EXPECT_TRUE(fs::is_empty(midlets()));
  EXPECT_FALSE(fs::exists(root_ / "outside.log"));
  EXPECT_FALSE(fs::exists(work()));
}

TEST_F(BuildTest, SettingsChecks) {
  MakePhotoBook(std::string(244, 'x'));  // with ".jar.partial" one letter too many
  EXPECT_FAILED_WITH("Book name is too long");
  EXPECT_FALSE(fs::exists(work()));
  MakePhotoBook(std::string(243, 'x'));
  EXPECT_TRUE(Build()) << error_;
  MakePhotoBook("Trip");
  book_.BookMode = true;
  book_.PartSize = 0;
  EXPECT_FAILED_WITH("Invalid part size");
  book_.BookMode = false;
  book_.ImageFiles.clear();
  EXPECT_FAILED_WITH("Image list is empty");
  MakePhotoBook("Trip");
  for (int level : {0, 10}) {
    book_.Compression = level;
    EXPECT_FAILED_WITH("Invalid compression level");
  }
  book_.Compression = 9;
  book_.MaxJarSize = -1;
  EXPECT_FAILED_WITH("Invalid MaxJarSize");
}

// The lines logged before the build makes the midlets folder reach the log
// file once it is there.
TEST_F(BuildTest, FirstBuildLogsEveryLine) {
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;
  EXPECT_EQ(testing::LogFileLines(midlets() / "Trip.log"), log_.lines);
  ASSERT_GE(log_.lines.size(), 4u);
  EXPECT_EQ(log_.lines[3], "Temporary directory " + midlets().string() + " - Ok");
}

TEST_F(BuildTest, UncreatableMidletsFolderFails) {
  MakePhotoBook("Trip");
  root_.Write("blocker", "a file where a folder should be");
  book_.MidletsFolder = (root_ / "blocker").string();
  EXPECT_FAILED_WITH("Can not create tempopary directory " + book_.MidletsFolder);
  book_.MidletsFolder = (root_ / "no" / "such" / "midlets").string();
  EXPECT_FAILED_WITH("Can not create tempopary directory " + book_.MidletsFolder);
}

TEST_F(BuildTest, MissingPictureFailsAndKeepsTheEarlierPackage) {
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;
  const std::string earlier = ReadBytes(midlets() / "Trip.jar");
  const std::string missing = (root_ / "in" / "gone.png").string();
  book_.ImageFiles.push_back(missing);
  book_.ImageNotes.push_back("");
  EXPECT_FAILED_WITH("Can not copy file " + missing + " to " + (work() / "2.png").string());
  EXPECT_EQ(ReadBytes(midlets() / "Trip.jar"), earlier);
  EXPECT_TRUE(fs::is_empty(work() / "META-INF"));
}

TEST_F(BuildTest, MissingSplashFailsTheBuild) {
  MakePhotoBook("Trip");
  book_.SplashFileName = (root_ / "nothing.png").string();
  EXPECT_FAILED_WITH("Can not copy file " + book_.SplashFileName + " to " +
                     (work() / "splash.png").string());
  EXPECT_FALSE(fs::exists(midlets() / "Trip.jar"));
}

TEST_F(BuildTest, BusyWorkFolderIsLeftAlone) {
  MakePhotoBook("Trip");
  fs::create_directories(work());
  root_.Write("temp/theirs.dat", "another build's file");
  root_.Write("midlets/Trip.log", "their log");
  FolderLock other;
  ASSERT_TRUE(other.TryLock(work()));
  EXPECT_FAILED_WITH("Work folder is in use: " + work().string());
  EXPECT_TRUE(fs::exists(work() / "theirs.dat"));
  EXPECT_EQ(ReadBytes(midlets() / "Trip.log"), "their log") << "the running build's log";
}

TEST_F(BuildTest, RunningOutOfMemorySaysSo) {
  struct Exhausted : ImageConverter {
    std::vector<std::string> Convert(const std::vector<std::string>&) override {
      throw std::bad_alloc();
    }
  };
  MakePhotoBook("Trip");
  book_.ImageMode = 5;
  book_.CreateConverter = [] { return std::make_shared<Exhausted>(); };
  EXPECT_FAILED_WITH("Not enough memory");
}

TEST_F(BuildTest, BusyOutputFolderIsLeftAlone) {
  MakePhotoBook("Trip");
  root_.Write("midlets/Trip.log", "their log");
  root_.Write("midlets/Trip.jar.partial", "their package being written");
  FolderLock other;
  ASSERT_TRUE(other.TryLock(midlets()));
  EXPECT_FAILED_WITH("Output folder is in use: " + midlets().string());
  EXPECT_EQ(testing::SortedNames(midlets()),
            (std::vector<std::string>{"Trip.jar.partial", "Trip.log"}));
  EXPECT_EQ(ReadBytes(midlets() / "Trip.log"), "their log");
  EXPECT_FALSE(fs::exists(work()));
}

// Builds into one folder at once: a second one fails at once with a clear
// message, and neither removes the other's files in progress ("Trip" once
// took "Trip2.jar.partial" for its own leftover).
TEST_F(BuildTest, ConcurrentBuildsIntoOneFolder) {
  MakePhotoBook("Trip");
  fs::create_directories(midlets());
  const std::string busy =
      "Process has not finished due to error: Output folder is in use: " + midlets().string();
  for (const auto& names : {std::pair{"Trip", "Trip2"}, std::pair{"Trip", "Trip"}}) {
    for (int round = 0; round < 10; ++round) {
      std::string errors[2];
      auto build = [&](int which, const std::string& name) {
        TVelkaro book = book_;
        CapturedLog log;
        book.LogView = &log;
        book.BookName = name;
        book.TempFolder = (root_ / ("temp" + std::to_string(which))).string();
        book.Build(&errors[which]);
      };
      std::thread first(build, 0, names.first);
      std::thread second(build, 1, names.second);
      first.join();
      second.join();
      for (const std::string& error : errors) {
        EXPECT_TRUE(error.empty() || error == busy)
            << names.first << ", " << names.second << ": " << error;
      }
      for (const auto& entry : fs::directory_iterator(midlets())) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(name.ends_with(".partial")) << name;
        if (!name.ends_with(".jar")) continue;
        const std::string jad = ReadBytes(midlets() / (name.substr(0, name.size() - 4) + ".jad"));
        EXPECT_NE(jad.find("MIDlet-Jar-Size: " + std::to_string(fs::file_size(entry))),
                  std::string::npos)
            << name;
      }
    }
  }
}

// A build killed between the renames of its package and descriptor left a
// new JAR with the old JAD: the next build of the book puts that right first,
// even when it fails itself.
TEST_F(BuildTest, InterruptedPairIsRepairedFirst) {
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;
  const std::string jad = ReadBytes(midlets() / "Trip.jad");
  root_.Write("midlets/Trip.jad.partial", jad);
  root_.Write("midlets/Trip.jar.partial", "the package before");
  root_.Write("midlets/Trip.jad", "MIDlet-Jar-Size: 18\r\n");
  book_.SplashFileName = (root_ / "nothing.png").string();
  log_.lines.clear();
  EXPECT_FALSE(Build());
  EXPECT_EQ(ReadBytes(midlets() / "Trip.jad"), jad);
  EXPECT_EQ(testing::SortedNames(midlets()),
            (std::vector<std::string>{"Trip.jad", "Trip.jar", "Trip.log"}));
  EXPECT_EQ(log_.lines[4],
            "Repaired Trip.jad, which an interrupted build left out of step with Trip.jar");
}

// Package and descriptor go into place as a pair: when the descriptor cannot
// take its name, the earlier package is back where it was.
TEST_F(BuildTest, FailedDescriptorRenameKeepsTheEarlierPackage) {
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;
  const std::string earlier = ReadBytes(midlets() / "Trip.jar");
  fs::remove(midlets() / "Trip.jad");
  root_.Write("midlets/Trip.jad/inside", "a folder that a file cannot replace");
  book_.ImageFiles.pop_back();
  book_.ImageNotes.pop_back();
  EXPECT_FAILED_WITH("File access denied");
  EXPECT_EQ(ReadBytes(midlets() / "Trip.jar"), earlier);
  EXPECT_EQ(testing::SortedNames(midlets()),
            (std::vector<std::string>{"Trip.jad", "Trip.jar", "Trip.log"}));
}

// Leftovers of killed builds under the names this build writes go, and no
// others; links are replaced, not followed.
TEST_F(BuildTest, LeftoversAndLinksInTheMidletsFolder) {
  MakePhotoBook("Trip");
  const fs::path elsewhere = root_.Write("elsewhere.txt", "not to be written");
  fs::create_directories(midlets());
  for (const char* name : {"Trip.jar.partial", "Trip3.jad.partial", "Trip.jad"}) {
    fs::create_symlink(elsewhere, midlets() / name);
  }
  for (const char* name : {"Trip12.jar.partial", "Tripod.jar.partial", "Trip.jar.partial.x"}) {
    root_.Write("midlets/" + std::string(name), "stale");
  }
  ASSERT_TRUE(Build()) << error_;
  EXPECT_EQ(ReadBytes(elsewhere), "not to be written");
  EXPECT_FALSE(fs::is_symlink(midlets() / "Trip.jad"));
  EXPECT_NE(ReadBytes(midlets() / "Trip.jad").find("MIDlet-Jar-Size: "), std::string::npos);
  EXPECT_EQ(
      testing::SortedNames(midlets()),
      (std::vector<std::string>{"Trip.jad", "Trip.jar", "Trip.jar.partial.x", "Trip.log",
                                "Trip12.jar.partial", "Trip3.jad.partial", "Tripod.jar.partial"}));
}

// What is not a regular file fails at once with the step's own message,
// instead of hanging on a pipe or copying an endless device.
TEST_F(BuildTest, InputsThatAreNotFilesFailAtOnce) {
  const std::string pipe = (root_ / "pipe.png").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  const std::string splash = (work() / "splash.png").string();
  struct Case {
    std::string TVelkaro::*setting;
    std::string path;
    std::string message;
  };
  const Case kCases[] = {
      {&TVelkaro::SplashFileName, "/dev/zero", "Can not copy file /dev/zero to " + splash},
      {&TVelkaro::SplashFileName, pipe, "Can not copy file " + pipe + " to " + splash},
      {&TVelkaro::IconFileName, root_.path().string(),
       "Can not copy file " + root_.path().string() + " to " + (work() / "logo.png").string()},
  };
  MakePhotoBook("Trip");
  for (const Case& c : kCases) {
    book_.SplashFileName = book_.IconFileName = "";
    book_.*c.setting = c.path;
    EXPECT_FAILED_WITH(c.message);
  }
  book_.SplashFileName = book_.IconFileName = "";
  book_.ImageFiles[1] = pipe;
  EXPECT_FAILED_WITH("Can not copy file " + pipe + " to " + (work() / "1.png").string());
}

TEST_F(BuildTest, NoPartialArchiveIsLeftBehind) {
  MakePhotoBook("Trip");
  ASSERT_TRUE(Build()) << error_;
  for (const auto& entry : fs::directory_iterator(midlets())) {
    EXPECT_EQ(entry.path().string().find("partial"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace velkaro
