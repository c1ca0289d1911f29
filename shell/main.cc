// Velkaro's entry point: given a book project file it builds the book without
// a window and ends; otherwise the main window opens.

#include "shell/command_line.h"
#include "ui/window_app.h"

int main(int argc, char** argv) {
  if (std::optional<int> exit_code = velkaro::RunWithoutWindow(argc, argv)) return *exit_code;
  return velkaro::RunWindowApp(argc, argv);
}
