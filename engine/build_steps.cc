#include "engine/build_steps.h"

#include <cstdint>

#include "platform/folders.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

std::string SizeText(uint64_t size) { return ", size " + std::to_string(size) + " bytes"; }

// Writes the bytes to `target`; the log line and the failure name `file`,
// the name they end up under.
void WriteBytesOrFail(const std::string& bytes, const Path& file, const LogFunction& log,
                      const Path& target, WriteMode mode) {
  try {
    WriteWholeFile(target, bytes, mode);
  } catch (const Error&) {
    throw Error("Can not create/save file " + file.string());
  }
  log("Create file " + file.string() + SizeText(bytes.size()));
}

}  // namespace

void EnsureFolder(const Path& folder, const LogFunction& log) {
  if (!MakeFolder(folder)) throw Error("Can not create tempopary directory " + folder.string());
  log("Temporary directory " + folder.string() + " - Ok");
}

void SaveTextToFile(const std::string& text, const Path& file, const LogFunction& log) {
  WriteBytesOrFail(text, file, log, file, WriteMode::kOver);
}

void SaveTextAside(const std::string& text, const Path& file, const Path& aside,
                   const LogFunction& log) {
  WriteBytesOrFail(text, file, log, aside, WriteMode::kReplace);
}

std::string WriteEmbeddedFile(const EmbeddedFile& file, const Path& target,
                              const LogFunction& log) {
  std::string bytes = Unscramble(file);
  WriteBytesOrFail(bytes, target, log, target, WriteMode::kOver);
  return bytes;
}

void CopyBookFile(const std::string& source, const Path& destination) {
  try {
    CopyFileOver(source, destination);
  } catch (const Error&) {
    RemoveFile(destination);
    throw Error("Can not copy file " + source + " to " + destination.string());
  }
}

std::string FileExtension(const std::string& file_name) {
  size_t dot = file_name.rfind('.');
  return dot == std::string::npos ? file_name : file_name.substr(dot + 1);
}

bool IsValidBookName(const std::string& book_name) {
  return !book_name.empty() && book_name != "." && book_name != ".." &&
         book_name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

}  // namespace velkaro
