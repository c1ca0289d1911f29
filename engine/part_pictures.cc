#include "engine/part_pictures.h"

#include "engine/markers.h"
#include "engine/side_by_side.h"

namespace velkaro {
namespace {

constexpr int kJpegKind = 1;
constexpr int kPngKind = 2;

bool Converts(int32_t mode) { return mode >= 4 && mode <= 6; }

std::string LogLine(const PictureImport& import, const std::string& source,
                    const std::string& target, const BroughtPicture& picture) {
  const std::string size = " (" + std::to_string(picture.size) + " bytes)";
  if (Converts(import.mode)) return "Resize and convert image " + source + " to " + target + size;
  if (import.turn) return "Turn image file " + source + " to " + target + size;
  return "Copy image file " + source + " to " + target;
}

std::string FileName(int number) { return "pic" + std::to_string(number); }

}  // namespace

// A picture marker: where its code stands and what it names.
struct PartPictures::Marker {
  size_t code_at;
  int number;
  std::string copy_extension;  // the copy-only modes'
};

PartPictures::PartPictures(const std::vector<std::string>& pictures, const PictureImport& import,
                           const Path& work_folder)
    : pictures_(pictures), import_(import), work_folder_(work_folder) {}

std::vector<PartPictures::Marker> PartPictures::FindMarkers(std::u16string_view text) const {
  std::vector<Marker> markers;
  if (import_.mode < 1 || import_.mode > 6) return markers;
  for (size_t i = 0; i + kMarkerLength <= text.size(); ++i) {
    if (!IsMarkerAt(text, i)) continue;
    const int number = MarkerNumber(text[i + 1]);
    const std::string_view extension = PictureExtension(MarkerKind(text[i + 1]));
    if (number < 1 || static_cast<size_t>(number) > pictures_.size()) continue;
    if (!Converts(import_.mode) && extension.empty()) continue;
    markers.push_back({i + 1, number, std::string(extension)});
  }
  return markers;
}

void PartPictures::ImportAhead(std::span<char16_t> text, const Path& folder) {
  ahead_folder_ = folder;
  const std::vector<Marker> markers = FindMarkers(std::u16string_view(text.data(), text.size()));
  std::vector<BroughtPicture> brought(markers.size());
  RunAllSideBySide(markers.size(), [&](size_t i) { brought[i] = BringOne(markers[i], folder); });
  for (size_t i = 0; i < markers.size(); ++i) {
    WriteType(text, markers[i], brought[i]);
    ahead_[markers[i].number] = brought[i];
  }
}

std::vector<Path> PartPictures::ImportedAhead(std::u16string_view part) const {
  std::vector<Path> files;
  for (const Marker& marker : FindMarkers(part)) {
    const auto imported = ahead_.find(marker.number);
    if (imported == ahead_.end()) continue;
    files.push_back(ahead_folder_ / (FileName(marker.number) + imported->second.extension));
  }
  return files;
}

void PartPictures::ImportPart(std::span<char16_t> part, const LogFunction& log) {
  const std::vector<Marker> markers = FindMarkers(std::u16string_view(part.data(), part.size()));
  std::vector<BroughtPicture> brought(markers.size());
  const std::vector<std::exception_ptr> failures = RunSideBySide(
      markers.size(), [&](size_t i) { brought[i] = BringOne(markers[i], work_folder_); });
  for (size_t i = 0; i < markers.size(); ++i) {
    if (failures[i]) std::rethrow_exception(failures[i]);
    const Marker& m = markers[i];
    for (const std::string& warning : brought[i].warnings) log("ImageMagick: " + warning);
    const std::string target = (work_folder_ / FileName(m.number)).string() + brought[i].extension;
    log(LogLine(import_, pictures_[m.number - 1], target, brought[i]));
    WriteType(part, m, brought[i]);
  }
}

// A picture imported ahead is copied; any other is imported as the mode says.
BroughtPicture PartPictures::BringOne(const Marker& m, const Path& folder) const {
  const std::string base = (folder / FileName(m.number)).string();
  const auto imported = ahead_.find(m.number);
  if (imported != ahead_.end()) {
    const std::string name = FileName(m.number) + imported->second.extension;
    CopyBookFile((ahead_folder_ / name).string(), folder / name);
    return imported->second;
  }
  const std::string& source = pictures_[m.number - 1];
  return Converts(import_.mode) ? ConvertForMode(import_, source, base)
                                : CopyOrTurn(import_, source, base, m.copy_extension);
}

void PartPictures::WriteType(std::span<char16_t> text, const Marker& marker,
                             const BroughtPicture& picture) const {
  if (!Converts(import_.mode)) return;
  const int kind = picture.extension == ".jpg" ? kJpegKind : kPngKind;
  text[marker.code_at] = MarkerCode(kind, marker.number);
}

}  // namespace velkaro
