#include "ui/window_look.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resource lives in a static library: it is linked in by name, from
// outside any namespace.
static void LoadIconResource() { Q_INIT_RESOURCE(icon); }

namespace velkaro {
namespace {

constexpr QSize kRoomySize(1240, 820);

}  // namespace

QIcon VelkaroIcon() {
  LoadIconResource();
  QSvgRenderer renderer(QStringLiteral(":/velkaro.svg"));
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QSize WindowSizeFor(const QSize& available, const QSize& minimum) {
  return kRoomySize.boundedTo(available - kFrameAllowance).expandedTo(minimum);
}

}  // namespace velkaro
