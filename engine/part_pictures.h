#ifndef VELKARO_ENGINE_PART_PICTURES_H_
#define VELKARO_ENGINE_PART_PICTURES_H_

#include <span>
#include <string>
#include <vector>

#include "engine/build_steps.h"
#include "engine/picture_conversion.h"

namespace velkaro {

// Brings every picture that a part's markers (1, code, 2) name into the work
// folder as "pic" + number + extension. Modes 1 to 3 copy the file (turned
// for a landscape book); modes 4 to 6 convert it and write the type of the
// result into the marker; mode 0 brings nothing. The pictures are converted
// side by side; the log lists them in text order.
void ImportPartPictures(std::span<char16_t> part, const std::vector<std::string>& pictures,
                        const PictureImport& import, const Path& work_folder,
                        const LogFunction& log);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PART_PICTURES_H_
