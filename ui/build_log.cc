#include "ui/build_log.h"

#include <QMetaObject>
#include <QRegularExpression>

#include "ui/ansi_text.h"

namespace velkaro {

void PaneLog::AppendLine(const std::string& line) { append_(FromAnsi(line)); }

void ThreadLog::AppendLine(const std::string& line) {
  QMetaObject::invokeMethod(
      window_, [append = append_, text = FromAnsi(line)] { append(text); }, Qt::QueuedConnection);
}

std::optional<PartProgress> PartProgressOf(const QString& line) {
  static const QRegularExpression kPartLine("^Processing part (\\d+) from (\\d+)\\b");
  const QRegularExpressionMatch match = kPartLine.match(line);
  if (!match.hasMatch()) return std::nullopt;
  return PartProgress{match.captured(1).toInt(), match.captured(2).toInt()};
}

}  // namespace velkaro
