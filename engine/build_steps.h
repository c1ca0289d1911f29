#ifndef VELKARO_ENGINE_BUILD_STEPS_H_
#define VELKARO_ENGINE_BUILD_STEPS_H_

#include <string>

#include "engine/embedded_files.h"
#include "engine/log.h"
#include "platform/files.h"

namespace velkaro {

// Ensures one folder level exists; fails with "Can not create tempopary directory".
void EnsureFolder(const Path& folder, const LogFunction& log);

// Writes the bytes of a text to a file and logs "Create file ..., size N bytes".
void SaveTextToFile(const std::string& text, const Path& file, const LogFunction& log);

// Like SaveTextToFile, but writes a new file `aside` (a link of that name is
// replaced, not followed) for the caller to rename to `file` later; the log
// line and the failure name `file`.
void SaveTextAside(const std::string& text, const Path& file, const Path& aside,
                   const LogFunction& log);

// Writes an embedded file's plain bytes and logs like SaveTextToFile;
// returns the bytes.
std::string WriteEmbeddedFile(const EmbeddedFile& file, const Path& target, const LogFunction& log);

// Copies a file over another; fails with "Can not copy file A to B".
void CopyBookFile(const std::string& source, const Path& destination);

// The part of a file name after its last "."; the whole name without one.
std::string FileExtension(const std::string& file_name);

// A book name that names a file right inside the midlets folder.
bool IsValidBookName(const std::string& book_name);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_BUILD_STEPS_H_
