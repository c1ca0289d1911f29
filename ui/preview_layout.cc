#include "ui/preview_layout.h"

#include "ui/ansi_text.h"

namespace velkaro {

QSize PhoneScreenSize(const QString& resolution, bool portrait) {
  const qsizetype star = resolution.indexOf('*');
  int width = IntegerOf(QString(resolution.left(star)).remove(' '));
  int height = IntegerOf(QString(resolution.mid(star + 1)).remove(' '));
  if (!portrait) std::swap(width, height);
  return QSize(width, height);
}

QPoint PhoneScreenOrigin(const QSize& panel, const QSize& screen) {
  const int x = panel.width() > screen.width() ? (panel.width() - screen.width()) / 2 : 0;
  const int y = panel.height() > screen.height() ? (panel.height() - screen.height()) / 2 : 0;
  return QPoint(x, y);
}

}  // namespace velkaro
