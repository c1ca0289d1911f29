#include "archive/jar_archiver.h"

namespace velkaro {

TJarArchiver::TJarArchiver() = default;
TJarArchiver::~TJarArchiver() = default;
void TJarArchiver::StartNewArchive() {}
void TJarArchiver::AddFolderContents(const std::string&, uint32_t, const std::string&) {}
void TJarArchiver::FinishArchive() {}

}  // namespace velkaro
