// Velkaro's entry point: given a book project file it builds the book without
// a window and ends; otherwise the main window opens, with the book of
// "BOOK.ini --window" loaded.

#include "shell/arguments.h"
#include "shell/command_line.h"
#include "ui/window_app.h"

int main(int argc, char** argv) {
  if (std::optional<int> exit_code = velkaro::RunWithoutWindow(argc, argv)) return *exit_code;
  const velkaro::Arguments arguments = velkaro::ParseArguments(argc, argv);
  return velkaro::RunWindowApp(argc, argv, arguments.project_file);
}
