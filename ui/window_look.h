#ifndef VELKARO_UI_WINDOW_LOOK_H_
#define VELKARO_UI_WINDOW_LOOK_H_

#include <QIcon>
#include <QSize>

namespace velkaro {

// Room a desktop's window frame takes around the window: a title bar and thin borders.
inline constexpr QSize kFrameAllowance(12, 40);

// The program's icon, drawn from its SVG at the sizes desktops ask for.
QIcon VelkaroIcon();

// The main window's size on a desktop whose free area is `available`: roomy
// where there is room, within the area with its frame, never below `minimum`.
QSize WindowSizeFor(const QSize& available, const QSize& minimum);

}  // namespace velkaro

#endif  // VELKARO_UI_WINDOW_LOOK_H_
