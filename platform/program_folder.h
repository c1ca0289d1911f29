#ifndef VELKARO_PLATFORM_PROGRAM_FOLDER_H_
#define VELKARO_PLATFORM_PROGRAM_FOLDER_H_

#include <filesystem>

namespace velkaro {

// The folder that holds the running executable (links resolved), where the
// midlets and work folders live.
std::filesystem::path ProgramFolder();

// Where builds go when the program cannot write beside itself (an installed
// program): $XDG_DATA_HOME/Velkaro, by default ~/.local/share/Velkaro, the
// folder the window uses too.
std::filesystem::path UserDataFolder();

// Whether this process may make files in the folder.
bool CanWriteIn(const std::filesystem::path& folder);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_PROGRAM_FOLDER_H_
