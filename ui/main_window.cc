#include "ui/main_window.h"

#include <QApplication>

#include "ui/window_app.h"

namespace velkaro {

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent), Memo2(new QPlainTextEdit(this)) {
  setObjectName("fmMain");
  setWindowTitle("Velkaro");
  Memo2->setReadOnly(true);
  Memo2->setPlaceholderText("Build log");
  setCentralWidget(Memo2);
  resize(640, 480);
}

int RunWindowApp(int argc, char** argv) {
  QApplication app(argc, argv);
  TfmMain window;
  window.show();
  return app.exec();
}

}  // namespace velkaro
