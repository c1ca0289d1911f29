#include "engine/build_steps.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "platform/io_error.h"

namespace velkaro {
namespace {

std::string SizeText(uint64_t size) { return ", size " + std::to_string(size) + " bytes"; }

void WriteBytesOrFail(const std::string& bytes, const Path& file, const LogFunction& log) {
  try {
    OutputFile out(file);
    out.Write(bytes);
    out.Close();
  } catch (const Error&) {
    throw Error("Can not create/save file " + file.string());
  }
  log("Create file " + file.string() + SizeText(bytes.size()));
}

}  // namespace

void EnsureFolder(const Path& folder, const LogFunction& log) {
  struct stat st;
  bool ready =
      (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) || mkdir(folder.c_str(), 0755) == 0;
  if (!ready) throw Error("Can not create tempopary directory " + folder.string());
  log("Temporary directory " + folder.string() + " - Ok");
}

void DeleteByMask(const Path& folder, const std::string& mask) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (fnmatch(mask.c_str(), name.c_str(), 0) != 0) continue;
    if (entry.is_directory(error)) continue;
    std::filesystem::remove(entry.path(), error);
  }
}

void SaveTextToFile(const std::string& text, const Path& file, const LogFunction& log) {
  WriteBytesOrFail(text, file, log);
}

void WriteEmbeddedFile(const EmbeddedFile& file, const Path& target, const LogFunction& log) {
  WriteBytesOrFail(Unscramble(file), target, log);
}

void CopyBookFile(const std::string& source, const Path& destination) {
  try {
    CopyFileOver(source, destination);
  } catch (const Error&) {
    std::error_code ignored;
    std::filesystem::remove(destination, ignored);
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
