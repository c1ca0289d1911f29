#include "ui/testing/window_testing.h"

namespace velkaro::testing {

WindowPaths PathsIn(const QTemporaryDir& folder) {
  return {folder.filePath("config/Velkaro.ini"), folder.filePath("program/Velkaro.ini"),
          folder.filePath("program")};
}

void Choose(QComboBox* list, int index) {
  list->setCurrentIndex(index);
  emit list->activated(index);
}

}  // namespace velkaro::testing
