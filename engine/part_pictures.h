#ifndef VELKARO_ENGINE_PART_PICTURES_H_
#define VELKARO_ENGINE_PART_PICTURES_H_

#include <string>
#include <vector>

#include "engine/build_steps.h"

namespace velkaro {

// Brings every picture that a part's markers (1, code, 2) name into the work
// folder as "pic" + number + extension. Picture import modes 1 to 3 copy the
// file unchanged; any other mode brings nothing (the converting modes stop
// the build before the parts, as long as no converter is built in).
void ImportPartPictures(std::u16string& part, const std::vector<std::string>& pictures,
                        int32_t image_mode, const Path& work_folder, const LogFunction& log);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PART_PICTURES_H_
