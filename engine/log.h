#ifndef VELKARO_ENGINE_LOG_H_
#define VELKARO_ENGINE_LOG_H_

#include <functional>
#include <string>

namespace velkaro {

// Where build log lines are shown besides the log file (the window's log pane).
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void AppendLine(const std::string& line) = 0;
};

// How a build step reports a log line.
using LogFunction = std::function<void(const std::string&)>;

}  // namespace velkaro

#endif  // VELKARO_ENGINE_LOG_H_
