#include "shell/arguments.h"

#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

namespace velkaro {
namespace {

namespace fs = std::filesystem;

constexpr size_t kLongestPath = 500;

std::string TrimControlsAndBlanks(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= 32) ++first;
  size_t last = text.size();
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return std::string(text.substr(first, last - first));
}

// The full path of a project file, or what is wrong with the argument.
std::variant<fs::path, std::string> ProjectFile(const std::string& argument) {
  std::error_code error;
  fs::path full = fs::absolute(argument, error).lexically_normal();
  if (error || full.string().size() > kLongestPath) return "no such project file: " + argument;
  const fs::file_status status = fs::status(full, error);
  if (status.type() == fs::file_type::regular) return full;
  if (status.type() == fs::file_type::directory) return "project file " + argument + " is a folder";
  if (fs::exists(status)) return "project file " + argument + " is not a regular file";
  return "no such project file: " + argument;
}

Arguments Mistake(std::string what) {
  return Arguments{.action = Arguments::Action::kMistake, .mistake = std::move(what)};
}

// Decides once the options are read: a project file to build, or the window
// (with the project file loaded when --window names one).
Arguments Resolve(std::string_view first, std::optional<fs::path> output_folder, bool window) {
  const std::string argument = TrimControlsAndBlanks(first);
  if (window && output_folder) return Mistake("--window and --output do not go together");
  if (argument.empty()) {
    if (output_folder) return Mistake("--output needs a project file: velkaro BOOK.ini -o FOLDER");
    return Arguments{};
  }
  std::variant<fs::path, std::string> project = ProjectFile(argument);
  if (auto* mistake = std::get_if<std::string>(&project)) return Mistake(*mistake);
  return Arguments{.action = window ? Arguments::Action::kWindow : Arguments::Action::kBuild,
                   .project_file = std::get<fs::path>(project),
                   .output_folder = std::move(output_folder)};
}

}  // namespace

Arguments ParseArguments(int argc, const char* const* argv) {
  std::vector<std::string_view> files;
  std::optional<fs::path> output_folder;
  bool help = false;
  bool version = false;
  bool window = false;
  std::string mistake;  // the first one
  auto note = [&](std::string what) {
    if (mistake.empty()) mistake = std::move(what);
  };
  auto take_output = [&](std::string_view folder) {
    std::error_code error;
    if (folder.empty()) note("--output needs a folder");
    if (!folder.empty()) output_folder = fs::absolute(folder, error).lexically_normal();
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help") {
      help = true;
    } else if (argument == "--version") {
      version = true;
    } else if (argument == "--window") {
      window = true;
    } else if (argument == "-o" || argument == "--output") {
      take_output(i + 1 < argc ? argv[++i] : "");
    } else if (argument.starts_with("--output=")) {
      take_output(argument.substr(9));
    } else if (argument.size() > 1 && argument[0] == '-') {
      note("unknown option " + std::string(argument));
    } else {
      files.push_back(argument);
    }
  }
  if (help) return Arguments{.action = Arguments::Action::kHelp};
  if (version) return Arguments{.action = Arguments::Action::kVersion};
  if (!mistake.empty()) return Mistake(mistake + "; see velkaro --help");
  return Resolve(files.empty() ? "" : files.front(), std::move(output_folder), window);
}

std::string UsageText() {
  return "Velkaro turns a book into e-book applications for old Java phones\n"
         "(MIDP 1.0 midlets: a JAR and its JAD for each part of the book).\n"
         "\n"
         "Usage:\n"
         "  velkaro                      open the window (needs a display)\n"
         "  velkaro BOOK.ini [-o FOLDER] build the book that a project file describes,\n"
         "                               without a window\n"
         "  velkaro BOOK.ini --window    open the window with that book loaded\n"
         "\n"
         "Options:\n"
         "  -o, --output FOLDER  put the packages and the build log (BOOK NAME.log) into\n"
         "                       FOLDER; without it they go to the folder \"midlets\"\n"
         "                       beside the program, or when the program may not write\n"
         "                       there, in ~/.local/share/Velkaro\n"
         "  -h, --help           show this text\n"
         "  --version            show the version\n"
         "\n"
         "Exit codes: 0 the book is built (or this text shown), 1 the build failed (its\n"
         "last log line is printed), 2 a wrong command line or no display for the window,\n"
         "130 the build was cancelled with Ctrl+C (packages finished before stay whole).\n";
}

}  // namespace velkaro
