#ifndef VELKARO_UI_TESTING_WINDOW_TESTING_H_
#define VELKARO_UI_TESTING_WINDOW_TESTING_H_

#include <QString>
#include <QTemporaryDir>
#include <vector>

#include "ui/main_window.h"

namespace velkaro::testing {

// A main window whose state file and program folder lie in a fresh folder,
// and whose message boxes are recorded instead of shown.
class TestWindow : public TfmMain {
 public:
  struct Message {
    QString caption;
    QString text;
  };

  explicit TestWindow(const WindowPaths& paths) : TfmMain(paths) {}
  std::vector<Message> messages;
  std::vector<Message> questions;
  bool answer = false;  // to every question

 protected:
  void ShowMessage(QMessageBox::Icon, const QString& caption, const QString& text) override {
    messages.push_back({caption, text});
  }
  bool Ask(const QString& caption, const QString& text) override {
    questions.push_back({caption, text});
    return answer;
  }
};

// The paths of a window living in `folder`: state file in "config", the
// program folder "program" with a fallback state file there.
WindowPaths PathsIn(const QTemporaryDir& folder);

// Sets a list's index as the user does, running its change handler.
void Choose(QComboBox* list, int index);

}  // namespace velkaro::testing

#endif  // VELKARO_UI_TESTING_WINDOW_TESTING_H_
