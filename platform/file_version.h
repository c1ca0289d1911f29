#ifndef VELKARO_PLATFORM_FILE_VERSION_H_
#define VELKARO_PLATFORM_FILE_VERSION_H_

#include <string>

namespace velkaro {

// The program's file version, compiled in: "4.7.0.246".
std::string ReadFileVersion();

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_FILE_VERSION_H_
