#include "ui/window_app.h"

#include <QApplication>

#include "ui/main_window.h"
#include "ui/window_look.h"

namespace velkaro {

int RunWindowApp(int argc, char** argv, const std::filesystem::path& project_file) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velkaro");
  QApplication::setWindowIcon(VelkaroIcon());
  TfmMain window;
  window.show();
  if (!project_file.empty()) window.OpenProject(QString::fromStdString(project_file.string()));
  return app.exec();
}

}  // namespace velkaro
