#include "engine/part_pictures.h"

#include "engine/markers.h"
#include "engine/side_by_side.h"

namespace velkaro {
namespace {

constexpr int kJpegKind = 1;
constexpr int kPngKind = 2;

bool Converts(int32_t mode) { return mode >= 4 && mode <= 6; }

// A picture marker of the part: where its code stands and what it names.
struct Marker {
  size_t code_at;
  int number;
  std::string copy_extension;  // the copy-only modes'
};

std::vector<Marker> FindMarkers(std::u16string_view part, size_t picture_count, int32_t mode) {
  std::vector<Marker> markers;
  for (size_t i = 0; i + kMarkerLength <= part.size(); ++i) {
    if (!IsMarkerAt(part, i)) continue;
    const int number = MarkerNumber(part[i + 1]);
    const std::string_view extension = PictureExtension(MarkerKind(part[i + 1]));
    if (number < 1 || static_cast<size_t>(number) > picture_count) continue;
    if (!Converts(mode) && extension.empty()) continue;
    markers.push_back({i + 1, number, std::string(extension)});
  }
  return markers;
}

std::string LogLine(const PictureImport& import, const std::string& source,
                    const std::string& target, const BroughtPicture& picture) {
  const std::string size = " (" + std::to_string(picture.size) + " bytes)";
  if (Converts(import.mode)) return "Resize and convert image " + source + " to " + target + size;
  if (import.turn) return "Turn image file " + source + " to " + target + size;
  return "Copy image file " + source + " to " + target;
}

}  // namespace

void ImportPartPictures(std::span<char16_t> part, const std::vector<std::string>& pictures,
                        const PictureImport& import, const Path& work_folder,
                        const LogFunction& log) {
  if (import.mode < 1 || import.mode > 6) return;
  const std::vector<Marker> markers =
      FindMarkers(std::u16string_view(part.data(), part.size()), pictures.size(), import.mode);
  auto base = [&](const Marker& m) {
    return (work_folder / ("pic" + std::to_string(m.number))).string();
  };
  std::vector<BroughtPicture> brought(markers.size());
  const auto failures = RunSideBySide(markers.size(), [&](size_t i) {
    const Marker& m = markers[i];
    const std::string& source = pictures[m.number - 1];
    brought[i] = Converts(import.mode) ? ConvertForMode(import, source, base(m))
                                       : CopyOrTurn(import, source, base(m), m.copy_extension);
  });
  for (size_t i = 0; i < markers.size(); ++i) {
    if (failures[i]) std::rethrow_exception(failures[i]);
    const Marker& m = markers[i];
    for (const std::string& warning : brought[i].warnings) log("ImageMagick: " + warning);
    log(LogLine(import, pictures[m.number - 1], base(m) + brought[i].extension, brought[i]));
    if (Converts(import.mode)) {
      const int kind = brought[i].extension == ".jpg" ? kJpegKind : kPngKind;
      part[m.code_at] = MarkerCode(kind, m.number);
    }
  }
}

}  // namespace velkaro
