#include "platform/process.h"

#include <gtest/gtest.h>

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
      {"stuck past the time limit", {shell, "-c", "sleep 30"}, -1},
      {"no such program", {"/no/such/program"}, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunProgram(c.command, std::chrono::seconds(1)), c.exit_code) << c.what;
  }
}

}  // namespace
}  // namespace velkaro
