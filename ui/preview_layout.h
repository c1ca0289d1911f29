#ifndef VELKARO_UI_PREVIEW_LAYOUT_H_
#define VELKARO_UI_PREVIEW_LAYOUT_H_

#include <QPoint>
#include <QSize>
#include <QString>

namespace velkaro {

// The phone screen a resolution such as "240*320" names, turned for
// landscape when portrait is off. Throws Error when a side is not an integer.
QSize PhoneScreenSize(const QString& resolution, bool portrait);

// Where the screen stands on the preview surface: centred in the panel, at the
// left or top edge where the panel is not larger than the screen.
QPoint PhoneScreenOrigin(const QSize& panel, const QSize& screen);

}  // namespace velkaro

#endif  // VELKARO_UI_PREVIEW_LAYOUT_H_
