#ifndef VELKARO_ENGINE_EMBEDDED_FILES_H_
#define VELKARO_ENGINE_EMBEDDED_FILES_H_

#include <cstddef>
#include <string>
#include <vector>

namespace velkaro {

// One of the phone app's files that the program carries, stored scrambled:
// byte i is the plain byte XOR the low 8 bits of i.
struct EmbeddedFile {
  const char* key;  // the file's path under engine/embedded
  const unsigned char* scrambled;
  size_t size;
};

extern const EmbeddedFile kEmbeddedFiles[];
extern const size_t kEmbeddedFileCount;

// The files every package gets, in the order they are written, each with the
// name it has in the package. The TBookMIDlet variant follows the book kind.
struct PackageFile {
  std::string name;
  const EmbeddedFile* file;
};
std::vector<PackageFile> EmbeddedMidletFiles(bool text_book);

// The plain bytes of a stored file.
std::string Unscramble(const EmbeddedFile& file);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_EMBEDDED_FILES_H_
