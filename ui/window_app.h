#ifndef VELKARO_UI_WINDOW_APP_H_
#define VELKARO_UI_WINDOW_APP_H_

namespace velkaro {

// Runs the application with its main window until the window closes.
int RunWindowApp(int argc, char** argv);

}  // namespace velkaro

#endif  // VELKARO_UI_WINDOW_APP_H_
