#ifndef VELKARO_UI_WINDOW_APP_H_
#define VELKARO_UI_WINDOW_APP_H_

#include <filesystem>

namespace velkaro {

// Runs the application with its main window until the window closes; a
// project file, when given, is opened into the window.
int RunWindowApp(int argc, char** argv, const std::filesystem::path& project_file = {});

}  // namespace velkaro

#endif  // VELKARO_UI_WINDOW_APP_H_
