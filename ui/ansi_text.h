#ifndef VELKARO_UI_ANSI_TEXT_H_
#define VELKARO_UI_ANSI_TEXT_H_

#include <QColor>
#include <QString>
#include <cstdint>
#include <string>

namespace velkaro {

// Settings texts travel as bytes in the system code page; the window holds them as QString.
std::string ToAnsi(const QString& text);
QString FromAnsi(const std::string& text);

// The integer a number field holds, blanks around it ignored. Throws Error
// "'%s' is not a valid integer value" with the trimmed text standing for %s.
int32_t IntegerOf(const QString& text);

// Colours are 0x00BBGGRR in the settings, red in the low byte.
QColor ColorOf(int32_t bgr);
int32_t BgrOf(const QColor& color);

}  // namespace velkaro

#endif  // VELKARO_UI_ANSI_TEXT_H_
