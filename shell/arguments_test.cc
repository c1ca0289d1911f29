#include "shell/arguments.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;
using Action = Arguments::Action;

class ArgumentsTest : public ::testing::Test {
 protected:
  ArgumentsTest() : previous_(fs::current_path()) {
    fs::current_path(folder_.path());
    folder_.Write("book.ini", "");
    fs::create_directory(folder_ / "dir.ini");
  }
  ~ArgumentsTest() override { fs::current_path(previous_); }

  testing::ScratchFolder folder_;
  fs::path previous_;
};

TEST_F(ArgumentsTest, EachCommandLine) {
  const std::string long_path = std::string(400, 'x') + "/../" + std::string(200, 'y');
  const struct {
    std::vector<const char*> args;
    Action action;
    std::string project;  // below the folder
    std::string output;   // below the folder
    std::string mistake;
  } cases[] = {
      {{}, Action::kWindow, "", "", ""},
      {{" \t "}, Action::kWindow, "", "", ""},
      {{"  book.ini\n", "second.ini"}, Action::kBuild, "book.ini", "", ""},
      {{"book.ini", "-o", "out"}, Action::kBuild, "book.ini", "out", ""},
      {{"--output", "a/../out", "book.ini"}, Action::kBuild, "book.ini", "out", ""},
      {{"--output=out", "book.ini", "-o", "last"}, Action::kBuild, "book.ini", "last", ""},
      {{"book.ini", "--help", "-x"}, Action::kHelp, "", "", ""},
      {{"-h"}, Action::kHelp, "", "", ""},
      {{"--version", "missing.ini"}, Action::kVersion, "", "", ""},
      {{"missing.ini"}, Action::kMistake, "", "", "no such project file: missing.ini"},
      {{" dir.ini "}, Action::kMistake, "", "", "project file dir.ini is a folder"},
      {{"/dev/null"}, Action::kMistake, "", "", "project file /dev/null is not a regular file"},
      {{long_path.c_str()}, Action::kMistake, "", "", "no such project file: " + long_path},
      {{"-"}, Action::kMistake, "", "", "no such project file: -"},
      {{"book.ini", "-o"}, Action::kMistake, "", "", "--output needs a folder; see velkaro --help"},
      {{"--output=", "book.ini"},
       Action::kMistake,
       "",
       "",
       "--output needs a folder; see velkaro --help"},
      {{"-x", "book.ini", "-y"}, Action::kMistake, "", "", "unknown option -x; see velkaro --help"},
      {{"book.ini", "--window"}, Action::kWindow, "book.ini", "", ""},
      {{"--window"}, Action::kWindow, "", "", ""},
      {{"--window", "missing.ini"}, Action::kMistake, "", "", "no such project file: missing.ini"},
      {{"book.ini", "--window", "-o", "out"},
       Action::kMistake,
       "",
       "",
       "--window and --output do not go together"},
      {{"-o", "out"},
       Action::kMistake,
       "",
       "",
       "--output needs a project file: velkaro BOOK.ini -o FOLDER"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = c.args;
    argv.insert(argv.begin(), "velkaro");
    const Arguments arguments = ParseArguments(static_cast<int>(argv.size()), argv.data());
    const std::string line = ::testing::PrintToString(c.args);
    EXPECT_EQ(arguments.action, c.action) << line;
    EXPECT_EQ(arguments.mistake, c.mistake) << line;
    EXPECT_EQ(arguments.project_file, c.project.empty() ? fs::path() : folder_ / c.project) << line;
    EXPECT_EQ(arguments.output_folder.value_or(fs::path()),
              c.output.empty() ? fs::path() : folder_ / c.output)
        << line;
  }
}

}  // namespace
}  // namespace velkaro
