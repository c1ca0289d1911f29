#include "ui/setting_choices.h"

#include "ui/ansi_text.h"

namespace velkaro {
namespace {

constexpr int32_t kPackageSizeBytes[] = {0, 64 * 1024, 100 * 1024, 300 * 1024};
constexpr int32_t kPhotoImageModes[] = {0, 4, 5, 6};

}  // namespace

const QStringList kPackageSizes = {"No limit", "64 KB", "100 KB", "300 KB"};

const QStringList kPhotoModes = {
    "Copy photos as they are",
    "Resize, convert and choose smallest (PNG or JPEG) using ImageMagick",
    "Resize and convert to PNG using ImageMagick", "Resize and convert to JPEG using ImageMagick"};

const QStringList kCompressionLevels = {"1 (fastest)", "2", "3", "4",           "5",
                                        "6",           "7", "8", "9 (smallest)"};

int32_t PackageSizeOf(const QString& text) {
  const qsizetype offered = kPackageSizes.indexOf(text.trimmed());
  if (offered >= 0) return kPackageSizeBytes[offered];
  return IntegerOf(text);
}

QString PackageSizeText(int32_t bytes) {
  for (qsizetype i = 0; i < kPackageSizes.size(); ++i) {
    if (kPackageSizeBytes[i] == bytes) return kPackageSizes[i];
  }
  return QString::number(bytes);
}

int32_t PhotoImageMode(int index) {
  return index >= 0 && index < kPhotoModes.size() ? kPhotoImageModes[index] : 0;
}

int PhotoModeIndex(int32_t image_mode) {
  for (int i = 0; i < kPhotoModes.size(); ++i) {
    if (kPhotoImageModes[i] == image_mode) return i;
  }
  return 0;  // the copying modes all copy a photo as it is
}

}  // namespace velkaro
