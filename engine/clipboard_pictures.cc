// A document's picture, offered in several formats the way a clipboard holds
// it, saved as a clipboard picture that the book's picture tags then name.

#include <algorithm>
#include <cctype>

#include "engine/velkaro.h"
#include "platform/files.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr size_t kLongestFormatName = 499;  // the name buffer holds 500 characters

// The registered name, trimmed and lower-cased.
std::string FormatName(const std::string& registered) {
  std::string name = registered.substr(0, kLongestFormatName);
  auto blank = [](unsigned char c) { return c <= ' '; };
  name.erase(name.begin(), std::find_if_not(name.begin(), name.end(), blank));
  name.erase(std::find_if_not(name.rbegin(), name.rend(), blank).base(), name.end());
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

bool IsPng(const std::string& name) { return name.rfind("png", 0) == 0; }
bool IsJfif(const std::string& name) { return name.rfind("jfif", 0) == 0; }

bool IsCandidate(const std::string& name, int32_t mode) {
  const bool takes_png = mode == 1 || mode == 2 || (mode >= 4 && mode <= 6);
  return (IsPng(name) && takes_png) || (IsJfif(name) && (mode == 1 || mode == 3));
}

}  // namespace

std::string TVelkaro::SaveClipboardPicture(const PictureSource& clipboard,
                                           const std::string& folder, int number) {
  const bool bounded = ImageMode >= 1 && ImageMode <= 3;
  int64_t best_size = -1;
  const PictureFormat* chosen = nullptr;
  std::string chosen_name;
  bool candidate_seen = false;
  for (const PictureFormat& format : clipboard) {
    const std::string name = FormatName(format.name);
    if (!IsCandidate(name, ImageMode)) continue;
    candidate_seen = true;
    const int64_t size = static_cast<int64_t>(format.data.size());
    if (bounded && size >= ImageSize) {
      AddLog("Can't save image (" + name + ") - size is too large (" + std::to_string(size) +
             " bytes)");
      continue;
    }
    if (best_size == -1) best_size = size;
    // Mode 1 keeps the smallest, the others the largest; the later one wins a tie.
    if (ImageMode == 1 ? size <= best_size : size >= best_size) {
      best_size = size;
      chosen = &format;
      chosen_name = name;
    }
  }
  if (!chosen) {
    if (!candidate_seen) AddLog("Can't find picture with supported format");
    return "";
  }
  const std::string extension = IsPng(chosen_name) ? "png" : "jpg";
  const std::string file = std::to_string(number) + "." + extension;
  const std::string path = (Path(folder) / ("tmp" + file)).string();
  try {
    WriteWholeFile(path, chosen->data);
  } catch (const Error&) {
    throw Error("Can not create/save file " + path);
  }
  AddLog("Image " + file + " saved (" + std::to_string(best_size) + " bytes)");
  return path;
}

}  // namespace velkaro
