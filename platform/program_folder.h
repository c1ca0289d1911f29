#ifndef VELKARO_PLATFORM_PROGRAM_FOLDER_H_
#define VELKARO_PLATFORM_PROGRAM_FOLDER_H_

#include <filesystem>

namespace velkaro {

// The folder that holds the running executable (links resolved), where the
// midlets and work folders live.
std::filesystem::path ProgramFolder();

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_PROGRAM_FOLDER_H_
