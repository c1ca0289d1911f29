#include "shell/command_line.h"

#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/velkaro.h"
#include "imaging/magick_converter.h"
#include "platform/file_version.h"
#include "platform/io_error.h"
#include "platform/program_folder.h"
#include "platform/temp_folder.h"
#include "shell/arguments.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

constexpr int kBuildFailed = 1;
constexpr int kWrongCommandLine = 2;
constexpr int kInterrupted = 130;  // 128 + SIGINT, as shells report it

// Set by the first Ctrl+C of a build; a second one ends the process at once.
std::atomic<bool> interrupted = false;
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnInterrupt(int) { interrupted = true; }

void CancelBuildOnInterrupt(TVelkaro& book) {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  book.Cancel = &interrupted;
}

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

// Whether the window has somewhere to show itself (QT_QPA_PLATFORM names one).
bool HasDisplay() {
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

int RunCommandLineBuild(const fs::path& project_file, const fs::path& midlets_folder,
                        const fs::path& work_folder) {
  std::string load_error;
  TVelkaro book = TVelkaro::CreateFromProject(project_file.string(), &load_error);
  if (!load_error.empty()) {
    std::fprintf(stderr, "%s\n", load_error.c_str());
    return 1;  // nothing to build, and no log to write for a book without a name
  }
  book.FileVersion = ReadFileVersion();
  book.MidletsFolder = midlets_folder.string();
  book.TempFolder = work_folder.string();
  book.RunMode = 1;
  book.CreateConverter = CreateMagickConverter;
  CancelBuildOnInterrupt(book);
  std::string build_error;
  if (book.Build(&build_error)) return 0;
  std::fprintf(stderr, "%s\n", build_error.c_str());
  return interrupted ? kInterrupted : kBuildFailed;
}

// Into the output folder, with a work folder of this run's own, so that
// builds into different folders run side by side.
int RunBuildInto(const fs::path& project_file, const fs::path& output_folder) {
  try {
    const TempFolder work("velkaro-work-");
    return RunCommandLineBuild(project_file, output_folder, work.path());
  } catch (const Error& e) {
    std::fprintf(stderr, "velkaro: can not make a work folder: %s\n", e.what());
    return kBuildFailed;
  }
}

// Beside the program, as the folders "midlets" and "temp"; an installed
// program cannot write there, so it builds where the window does, and says
// so on its first line.
int RunBuildBesideProgram(const fs::path& project_file) {
  fs::path folder = ProgramFolder();
  if (!CanWriteIn(folder)) {
    const fs::path user_folder = UserDataFolder();
    std::error_code ignored;  // a folder that cannot be made fails the build with its message
    fs::create_directories(user_folder, ignored);
    std::printf("Building into %s: the program's folder %s is not writable\n",
                (user_folder / "midlets").c_str(), folder.c_str());
    std::fflush(stdout);
    folder = user_folder;
  }
  return RunCommandLineBuild(project_file, folder / "midlets", folder / "temp");
}

}  // namespace

std::optional<int> RunWithoutWindow(int argc, const char* const* argv) {
  const Arguments arguments = ParseArguments(argc, argv);
  switch (arguments.action) {
    case Arguments::Action::kHelp:
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    case Arguments::Action::kVersion:
      std::printf("Velkaro %s\n", ReadFileVersion().c_str());
      return 0;
    case Arguments::Action::kMistake:
      std::fprintf(stderr, "velkaro: %s\n", arguments.mistake.c_str());
      return kWrongCommandLine;
    case Arguments::Action::kBuild:
      if (arguments.output_folder) {
        return RunBuildInto(arguments.project_file, *arguments.output_folder);
      }
      return RunBuildBesideProgram(arguments.project_file);
    case Arguments::Action::kWindow:
      if (HasDisplay()) return std::nullopt;
      std::fputs(
          "velkaro: the window needs a display, and none is set; "
          "to build a book without one: velkaro BOOK.ini\n",
          stderr);
      return kWrongCommandLine;
  }
  return std::nullopt;
}

}  // namespace velkaro
