#include "ui/window_app.h"

#include <QApplication>

#include "ui/main_window.h"

namespace velkaro {

int RunWindowApp(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velkaro");
  TfmMain window;
  window.show();
  return app.exec();
}

}  // namespace velkaro
