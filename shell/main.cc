// Velkaro's entry point: given a book project file it builds the book without
// a window and ends; otherwise the main window opens.

#include "platform/program_folder.h"
#include "shell/command_line.h"
#include "ui/window_app.h"

int main(int argc, char** argv) {
  if (auto project = velkaro::ProjectFileArgument(argc, argv)) {
    return velkaro::RunCommandLineBuild(*project, velkaro::ProgramFolder());
  }
  return velkaro::RunWindowApp(argc, argv);
}
