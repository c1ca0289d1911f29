#include "shell/command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs a copy of the real executable from its own folder, as users do, with
// the scratch folder as the current one and no display.
class ExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(folder_ / "bin");
    fs::copy_file(VELKARO_EXECUTABLE, program());
  }
  fs::path program() const { return folder_ / "bin" / "velkaro"; }

  // prefix goes before the program: variables, or a command that runs it.
  Outcome RunProgram(const fs::path& program, const std::vector<std::string>& args,
                     const std::string& prefix = "") const {
    std::string command = "cd '" + folder_.path().string() +
                          "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + prefix +
                          " '" + program.string() + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >stdout.txt 2>stderr.txt </dev/null";
    const int status = std::system(command.c_str());
    return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                   testing::ReadBytes(folder_ / "stdout.txt"),
                   testing::ReadBytes(folder_ / "stderr.txt")};
  }

  // A build says nothing on standard output.
  Outcome Build(const std::vector<std::string>& args, const std::string& prefix = "") const {
    Outcome outcome = RunProgram(program(), args, prefix);
    EXPECT_EQ(outcome.out, "") << "nothing goes to standard output";
    return outcome;
  }

  void WritePhotoBook(const std::string& name = "book.ini") const {
    folder_.Write("pic.png", "picture");
    folder_.Write(name, "[Options]\r\nBookName=Album\r\n[Files]\r\nImageFileName1=" +
                            (folder_ / "pic.png").string() + "\r\n");
  }

  testing::ScratchFolder folder_;
};

TEST_F(ExecutableTest, AnswersWithoutBuildingOrAWindow) {
  fs::create_directory(folder_ / "dir.ini");
  const std::string no_display =
      "velkaro: the window needs a display, and none is set; "
      "to build a book without one: velkaro BOOK.ini\n";
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string out;  // the start of standard output
    std::string err;
  } cases[] = {
      {{"--help"}, 0, "Velkaro turns a book into e-book applications", ""},
      {{"--version"}, 0, "Velkaro 4.7.0.246\n", ""},
      {{"missing.ini"}, 2, "", "velkaro: no such project file: missing.ini\n"},
      {{"dir.ini", "-o", "out"}, 2, "", "velkaro: project file dir.ini is a folder\n"},
      {{"/dev/null"}, 2, "", "velkaro: project file /dev/null is not a regular file\n"},
      {{}, 2, "", no_display},
      {{" "}, 2, "", no_display},
      {{"-o", "out"},
       2,
       "",
       "velkaro: --output needs a project file: velkaro BOOK.ini -o FOLDER\n"},
      {{"--bogus"}, 2, "", "velkaro: unknown option --bogus; see velkaro --help\n"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunProgram(program(), c.args);
    const std::string line = ::testing::PrintToString(c.args);
    EXPECT_EQ(outcome.exit_code, c.exit_code) << line;
    EXPECT_TRUE(outcome.out.starts_with(c.out)) << line << ": " << outcome.out;
    EXPECT_EQ(outcome.err, c.err) << line;
  }
  EXPECT_FALSE(fs::exists(folder_ / "bin" / "midlets"));
  EXPECT_FALSE(fs::exists(folder_ / "out"));
}

TEST_F(ExecutableTest, FailedBuildExitsWithOneAndSaysWhy) {
  folder_.Write("book.ini", "[Options]\r\nBookMode=1\r\nBookName=Tales\r\n");
  fs::create_directory(folder_ / "bin" / "midlets");
  const Outcome outcome = Build({"book.ini"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err, "Process has not finished due to error: Invalid part size\n");
  std::string log = testing::ReadBytes(folder_ / "bin" / "midlets" / "Tales.log");
  EXPECT_NE(log.find("in CLI mode\r\nVelkaro version: 4.7.0.246\r\n"), std::string::npos)
      << "the log lands beside the executable, not in the current folder";
  EXPECT_FALSE(fs::exists(folder_ / "midlets"));
}

TEST_F(ExecutableTest, BinaryProjectFileIsABadBookNotACrash) {
  std::string noise;
  for (int i = 0; i < 100000; ++i) noise += static_cast<char>((i * 7919) % 256);
  folder_.Write("noise.ini", noise);
  const Outcome outcome = Build({"noise.ini"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_NE(outcome.err.find("Process has not finished due to error: "), std::string::npos);
}

TEST_F(ExecutableTest, UnreadableProjectFileExitsWithOneAndBuildsNothing) {
  const Outcome outcome = Build({"/proc/self/status"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err, "/proc/self/status is not a regular file\n");
  EXPECT_FALSE(fs::exists(folder_ / "bin" / "midlets")) << "no log of a book without a name";
}

TEST_F(ExecutableTest, HugeProjectLineIsReadWithoutTrouble) {
  folder_.Write("long.ini",
                "[Options]\r\nBookInfo=" + std::string(10 << 20, 'x') + "\r\nBookName=Long\r\n");
  const Outcome outcome = Build({"long.ini"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err, "Process has not finished due to error: Image list is empty\n");
}

TEST_F(ExecutableTest, UnusableMidletsFolderFailsTheBuild) {
  WritePhotoBook();
  folder_.Write("bin/midlets", "a file where the folder should be");
  const Outcome outcome = Build({"book.ini"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err,
            "Process has not finished due to error: Can not create tempopary directory " +
                (folder_ / "bin" / "midlets").string() + "\n");
}

TEST_F(ExecutableTest, PhotoBookBuildsSilently) {
  WritePhotoBook();
  const Outcome outcome = Build({"book.ini"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_TRUE(fs::exists(folder_ / "bin" / "midlets" / "Album.jad"));
}

// A project file saved in an old code page is read in it, and the log says so.
TEST_F(ExecutableTest, ProjectFileInAnOldCodePage) {
  folder_.Write("pic.png", "picture");
  // "Альбом. Фотографии нашего путешествия по Волге" in code page 1251.
  folder_.Write("book.ini",
                "[Options]\r\nBookName=Album\r\nBookInfo=\xC0\xEB\xFC\xE1\xEE\xEC. "
                "\xD4\xEE\xF2\xEE\xE3\xF0\xE0\xF4\xE8\xE8 \xED\xE0\xF8\xE5\xE3\xEE "
                "\xEF\xF3\xF2\xE5\xF8\xE5\xF1\xF2\xE2\xE8\xFF \xEF\xEE "
                "\xC2\xEE\xEB\xE3\xE5\r\n[Files]\r\nImageFileName1=pic.png\r\n");
  const Outcome outcome = Build({"book.ini", "-o", "out"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  const std::vector<std::string> log = testing::LogFileLines(folder_ / "out" / "Album.log");
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[2], "Project file encoding: WINDOWS-1251");
}

TEST_F(ExecutableTest, OutputFolderTakesPackagesAndLogAndTheWorkFolderGoes) {
  WritePhotoBook();
  fs::create_directories(folder_ / "tmp");
  const Outcome outcome = Build({"book.ini", "-o", "out"}, "TMPDIR=" + (folder_ / "tmp").string());
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  for (const char* file : {"Album.jar", "Album.jad", "Album.log"}) {
    EXPECT_TRUE(fs::exists(folder_ / "out" / file)) << file;
  }
  // The folder is made by the build, and its log still has every line.
  const std::vector<std::string> log = testing::LogFileLines(folder_ / "out" / "Album.log");
  ASSERT_GE(log.size(), 3u);
  EXPECT_TRUE(log[0].starts_with("Process started at ")) << log[0];
  EXPECT_EQ(log[1], "Velkaro version: 4.7.0.246");
  EXPECT_EQ(log[2], "Checking directories...");
  EXPECT_FALSE(fs::exists(folder_ / "bin" / "midlets"));
  EXPECT_FALSE(fs::exists(folder_ / "bin" / "temp"));
  EXPECT_TRUE(fs::is_empty(folder_ / "tmp")) << "the private work folder is removed";
}

TEST_F(ExecutableTest, BuildsIntoDifferentFoldersRunSideBySide) {
  WritePhotoBook();
  const std::string both =
      "sh -c '\"$0\" book.ini -o one & one=$!; \"$0\" book.ini -o two & two=$!; "
      "wait $one && wait $two'";
  const Outcome outcome = Build({}, both);
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_TRUE(fs::exists(folder_ / "one" / "Album.jar"));
  EXPECT_TRUE(fs::exists(folder_ / "two" / "Album.jar"));
}

// Ctrl+C stops a build between steps: no package of its own is placed or
// left aside, the log ends with the cancel, and the exit code is 130.
TEST_F(ExecutableTest, InterruptCancelsTheBuildWithExitCode130) {
  std::string text;
  for (int i = 0; text.size() < (2 << 20); ++i)
    text += "Sentence " + std::to_string(i) + " is here. ";
  folder_.Write("big.txt", text);
  folder_.Write("big.ini",
                "[Options]\r\nBookMode=1\r\nBookName=Big\r\nPartSize=1000\r\n"
                "[Files]\r\nTextFileName=big.txt\r\n");
  const std::string interrupt =
      "sh -c '\"$0\" big.ini & build=$!; "
      "until grep -q \"Processing part 3 \" bin/midlets/Big.log 2>/dev/null; do sleep 0.01; done; "
      "kill -INT $build; wait $build'";
  const Outcome outcome = Build({}, interrupt);
  EXPECT_EQ(outcome.exit_code, 130) << outcome.err;
  EXPECT_EQ(outcome.err, "Build cancelled\n");
  const std::string log = testing::ReadBytes(folder_ / "bin" / "midlets" / "Big.log");
  EXPECT_TRUE(log.ends_with("\r\nBuild cancelled\r\n"));
  EXPECT_EQ(testing::SortedNames(folder_ / "bin" / "midlets"), std::vector<std::string>{"Big.log"});
  EXPECT_EQ(testing::SortedNames(folder_ / "bin" / "temp"), std::vector<std::string>{"META-INF"});
}

// Installed as a package installs it, and run by a user who may write
// nowhere but the folder given and their home: without -o the book goes
// where the window puts it.
TEST_F(ExecutableTest, InstalledProgramBuildsIntoAnyFolderForAnyUser) {
  const fs::path root = folder_ / "root";
  const std::string install = "DESTDIR='" + root.string() + "' '" VELKARO_CMAKE "' --install '" +
                              std::string(VELKARO_BUILD_DIR) + "' --prefix /usr >'" +
                              (folder_ / "install.txt").string() + "' 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << testing::ReadBytes(folder_ / "install.txt");
  for (const char* file :
       {"usr/bin/velkaro", "usr/share/applications/velkaro.desktop",
        "usr/share/icons/hicolor/scalable/apps/velkaro.svg", "usr/share/man/man1/velkaro.1"}) {
    EXPECT_TRUE(fs::is_regular_file(root / file)) << file;
  }

  WritePhotoBook();
  fs::permissions(folder_.path(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  fs::create_directory(folder_ / "shared");
  fs::permissions(folder_ / "shared", fs::perms::all);
  const std::string other_user =
      geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  const Outcome outcome =
      RunProgram(root / "usr/bin/velkaro", {"book.ini", "-o", "shared/out"}, other_user);
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_TRUE(fs::exists(folder_ / "shared" / "out" / "Album.jad"));
  EXPECT_FALSE(fs::exists(root / "usr/bin/midlets"));

  const fs::path home = folder_ / "shared" / "home";
  fs::create_directory(home);
  fs::permissions(home, fs::perms::all);
  fs::permissions(root / "usr/bin",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const Outcome beside = RunProgram(root / "usr/bin/velkaro", {"book.ini"},
                                    "-u XDG_DATA_HOME HOME='" + home.string() + "' " + other_user);
  const fs::path midlets = home / ".local/share/Velkaro/midlets";
  EXPECT_EQ(beside.exit_code, 0) << beside.err;
  EXPECT_EQ(beside.out, "Building into " + midlets.string() + ": the program's folder " +
                            (root / "usr/bin").string() + " is not writable\n");
  EXPECT_TRUE(fs::exists(midlets / "Album.jad"));
  EXPECT_FALSE(fs::exists(root / "usr/bin/midlets"));
}

}  // namespace
}  // namespace velkaro
