#include "platform/file_version.h"

namespace velkaro {

std::string ReadFileVersion() { return VELKARO_FILE_VERSION; }

}  // namespace velkaro
