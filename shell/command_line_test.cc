#include "shell/command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> Argument(std::vector<const char*> args) {
  args.insert(args.begin(), "velkaro");
  return ProjectFileArgument(static_cast<int>(args.size()), args.data());
}

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() : previous_(fs::current_path()) { fs::current_path(folder_.path()); }
  ~CommandLineTest() override { fs::current_path(previous_); }

  testing::ScratchFolder folder_;
  fs::path previous_;
};

TEST_F(CommandLineTest, WindowOpensWithoutAUsableArgument) {
  folder_.Write("book.ini", "");
  fs::create_directory(folder_ / "dir.ini");
  EXPECT_FALSE(Argument({}));
  EXPECT_FALSE(Argument({" \t "}));
  EXPECT_FALSE(Argument({"missing.ini"}));
  EXPECT_FALSE(Argument({"dir.ini"}));
  EXPECT_FALSE(Argument({(std::string(400, 'x') + "/../" + std::string(200, 'y')).c_str()}));
}

TEST_F(CommandLineTest, RelativePathIsResolvedAndTrimmed) {
  folder_.Write("book.ini", "");
  std::optional<fs::path> project = Argument({"  book.ini\n", "second.ini"});
  ASSERT_TRUE(project);
  EXPECT_EQ(*project, fs::canonical(folder_ / "book.ini"));
}

// Runs a copy of the real executable from its own folder, as users do.
class ExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(folder_ / "bin");
    fs::copy_file(VELKARO_EXECUTABLE, program());
  }
  fs::path program() const { return folder_ / "bin" / "velkaro"; }

  int Run(const std::string& project, std::string* standard_error) {
    fs::path err = folder_ / "stderr.txt";
    std::string command = "cd '" + folder_.path().string() + "' && '" + program().string() + "' '" +
                          project + "' >'" + (folder_ / "stdout.txt").string() + "' 2>'" +
                          err.string() + "' </dev/null";
    int status = std::system(command.c_str());
    *standard_error = testing::ReadBytes(err);
    EXPECT_EQ(testing::ReadBytes(folder_ / "stdout.txt"), "") << "nothing goes to standard output";
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  testing::ScratchFolder folder_;
};

TEST_F(ExecutableTest, FailedBuildExitsWithOneAndSaysWhy) {
  folder_.Write("book.ini", "[Options]\r\nBookMode=1\r\nBookName=Tales\r\n");
  fs::create_directory(folder_ / "bin" / "midlets");
  std::string error;
  EXPECT_EQ(Run("book.ini", &error), 1);
  EXPECT_EQ(error, "Process has not finished due to error: Invalid part size\n");
  std::string log = testing::ReadBytes(folder_ / "bin" / "midlets" / "Tales.log");
  EXPECT_NE(log.find("in CLI mode\r\nVelkaro version: 4.7.0.246\r\n"), std::string::npos)
      << "the log lands beside the executable, not in the current folder";
  EXPECT_FALSE(fs::exists(folder_ / "midlets"));
}

TEST_F(ExecutableTest, BinaryProjectFileIsABadBookNotACrash) {
  std::string noise;
  for (int i = 0; i < 100000; ++i) noise += static_cast<char>((i * 7919) % 256);
  folder_.Write("noise.ini", noise);
  std::string error;
  EXPECT_EQ(Run("noise.ini", &error), 1);
  EXPECT_NE(error.find("Process has not finished due to error: "), std::string::npos);
}

TEST_F(ExecutableTest, HugeProjectLineIsReadWithoutTrouble) {
  folder_.Write("long.ini",
                "[Options]\r\nBookInfo=" + std::string(10 << 20, 'x') + "\r\nBookName=Long\r\n");
  std::string error;
  EXPECT_EQ(Run("long.ini", &error), 1);
  EXPECT_EQ(error, "Process has not finished due to error: Image list is empty\n");
}

TEST_F(ExecutableTest, UnusableMidletsFolderFailsTheBuild) {
  folder_.Write("pic.png", "picture");
  folder_.Write("bin/midlets", "a file where the folder should be");
  folder_.Write("book.ini", "[Options]\r\nBookName=Album\r\n[Files]\r\nImageFileName1=pic.png\r\n");
  std::string error;
  EXPECT_EQ(Run("book.ini", &error), 1);
  EXPECT_EQ(error, "Process has not finished due to error: Can not create tempopary directory " +
                       (folder_ / "bin" / "midlets").string() + "\n");
}

TEST_F(ExecutableTest, PhotoBookBuildsSilently) {
  folder_.Write("pic.png", "picture");
  folder_.Write("book.ini", "[Options]\r\nBookName=Album\r\n[Files]\r\nImageFileName1=pic.png\r\n");
  std::string error;
  EXPECT_EQ(Run("book.ini", &error), 0) << error;
  EXPECT_EQ(error, "");
  EXPECT_TRUE(fs::exists(folder_ / "bin" / "midlets" / "Album.jad"));
}

}  // namespace
}  // namespace velkaro
