#ifndef VELKARO_UI_SETTING_CHOICES_H_
#define VELKARO_UI_SETTING_CHOICES_H_

#include <QString>
#include <QStringList>
#include <cstdint>

namespace velkaro {

// The package size budgets the window offers; a number of bytes may be
// typed instead. "No limit" is 0, a kilobyte 1024 bytes.
extern const QStringList kPackageSizes;
// The bytes a budget's text stands for. Throws Error for a text that is
// neither an offered budget nor a whole number of bytes.
int32_t PackageSizeOf(const QString& text);
// The offered text for a number of bytes, else the number itself.
QString PackageSizeText(int32_t bytes);

// How a photo book brings its photos, as the photo page offers it: copied as
// they are, or converted in the picture import modes 4, 5 and 6.
extern const QStringList kPhotoModes;
int32_t PhotoImageMode(int index);
int PhotoModeIndex(int32_t image_mode);

// The deflate levels 1 to 9 as the window lists them.
extern const QStringList kCompressionLevels;

}  // namespace velkaro

#endif  // VELKARO_UI_SETTING_CHOICES_H_
