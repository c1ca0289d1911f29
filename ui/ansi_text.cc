#include "ui/ansi_text.h"

#include "engine/ini_file.h"
#include "platform/code_page.h"
#include "platform/io_error.h"

namespace velkaro {

std::string ToAnsi(const QString& text) { return WideToAnsi(text.toStdU16String()); }

QString FromAnsi(const std::string& text) { return QString::fromStdU16String(AnsiToWide(text)); }

int32_t IntegerOf(const QString& text) {
  const std::string trimmed = ToAnsi(text.trimmed());
  if (std::optional<int32_t> value = ParseInteger(trimmed)) return *value;
  throw Error("'" + trimmed + "' is not a valid integer value");
}

QColor ColorOf(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

int32_t BgrOf(const QColor& color) {
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

}  // namespace velkaro
