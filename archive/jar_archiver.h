#ifndef VELKARO_ARCHIVE_JAR_ARCHIVER_H_
#define VELKARO_ARCHIVE_JAR_ARCHIVER_H_

#include <cstdint>
#include <string>

namespace velkaro {

// Writes one JAR (a ZIP archive) of everything under a base folder: the
// folder's own files first, then each subfolder's entry and its contents.
// Entries are deflated at level 1. Failures throw Error.
class TJarArchiver {
 public:
  TJarArchiver();
  ~TJarArchiver();

  std::string FileName;  // the archive to write
  std::string BaseDir;   // entry names are paths relative to it

  // Creates the archive file, replacing one of that name.
  void StartNewArchive();
  // Packs every file under BaseDir that the mask and attribute word select.
  void AddFolderContents(const std::string& mask = "*.*", uint32_t search_attributes = 10431,
                         const std::string& exclusion_mask = "");
  // Completes and closes the archive.
  void FinishArchive();
};

}  // namespace velkaro

#endif  // VELKARO_ARCHIVE_JAR_ARCHIVER_H_
