#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/testing.h"

namespace velkaro {
namespace {

TEST(ProcessTest, FindsProgramsOnTheSearchPath) {
  EXPECT_EQ(FindProgram("sh").substr(FindProgram("sh").rfind('/')), "/sh");
  EXPECT_EQ(FindProgram("no-such-program-here"), "");
}

TEST(ProcessTest, RunsAndReportsTheExitCode) {
  const std::string shell = FindProgram("sh");
  struct Case {
    const char* what;
    std::vector<std::string> command;
    int exit_code;
  };
  const Case cases[] = {
      {"success", {shell, "-c", "exit 0"}, 0},
      {"its own code", {shell, "-c", "echo noise; echo more >&2; exit 3"}, 3},
      {"killed by a signal", {shell, "-c", "kill -9 $$"}, -1},
      {"stuck past the time limit", {shell, "-c", "sleep 30"}, kStoppedAtTimeLimit},
      {"no such program", {"/no/such/program"}, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunProgram(c.command, std::chrono::seconds(1)), c.exit_code) << c.what;
  }
}

TEST(ProcessTest, ChangedEnvironmentAndSocketFilesOfAStoppedProgram) {
  testing::ScratchFolder folder;
  const std::string shell = FindProgram("sh");
  EXPECT_EQ(RunProgram({shell, "-c", "test \"$HOME\" = /nowhere && test -n \"$PATH\""},
                       std::chrono::seconds(5), {"HOME=/nowhere"}),
            0);
  // A stuck program (its helper, in fact) that bound a local socket.
  const std::string socket = (folder / "office.pipe").string();
  const std::string bind_and_wait =
      "import socket, time\ns = socket.socket(socket.AF_UNIX)\ns.bind('" + socket +
      "')\ntime.sleep(30)\n";
  EXPECT_EQ(
      RunProgram({shell, "-c", "python3 -c \"$0\"; true", bind_and_wait}, std::chrono::seconds(3)),
      kStoppedAtTimeLimit);
  EXPECT_FALSE(std::filesystem::exists(socket));
  // A plain file of that kind of name is none of the program's sockets.
  folder.Write("office.pipe", "not a socket");
  EXPECT_EQ(RunProgram({shell, "-c", "sleep 30"}, std::chrono::seconds(1)), kStoppedAtTimeLimit);
  EXPECT_TRUE(std::filesystem::exists(socket));
}

}  // namespace
}  // namespace velkaro
