#ifndef VELKARO_UI_BUILD_LOG_H_
#define VELKARO_UI_BUILD_LOG_H_

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "engine/velkaro.h"

namespace velkaro {

// Log lines written on the interface thread go straight to the pane.
class PaneLog : public LogSink {
 public:
  explicit PaneLog(std::function<void(const QString&)> append) : append_(std::move(append)) {}
  void AppendLine(const std::string& line) override;

 private:
  std::function<void(const QString&)> append_;
};

// Log lines of a build on its own thread are posted to the window's thread,
// where they arrive in the order they were written.
class ThreadLog : public LogSink {
 public:
  ThreadLog(QObject* window, std::function<void(const QString&)> append)
      : window_(window), append_(std::move(append)) {}
  void AppendLine(const std::string& line) override;

 private:
  QObject* window_;
  std::function<void(const QString&)> append_;
};

// The part being built and the part count, read from a "Processing part k
// from n" log line.
struct PartProgress {
  int part = 0;
  int parts = 0;
};
std::optional<PartProgress> PartProgressOf(const QString& line);

}  // namespace velkaro

#endif  // VELKARO_UI_BUILD_LOG_H_
