#ifndef VELKARO_UI_MAIN_WINDOW_H_
#define VELKARO_UI_MAIN_WINDOW_H_

#include <QMainWindow>
#include <QPlainTextEdit>

namespace velkaro {

// The main window; for now it shows the log pane that builds write into.
class TfmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TfmMain(QWidget* parent = nullptr);

 private:
  QPlainTextEdit* Memo2;
};

}  // namespace velkaro

#endif  // VELKARO_UI_MAIN_WINDOW_H_
