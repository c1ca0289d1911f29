#ifndef VELKARO_ENGINE_PART_PICTURES_H_
#define VELKARO_ENGINE_PART_PICTURES_H_

#include <map>
#include <span>
#include <string>
#include <vector>

#include "engine/build_steps.h"
#include "engine/picture_conversion.h"

namespace velkaro {

// Brings every picture that a part's markers (1, code, 2) name into the work
// folder as "pic" + number + extension. Modes 1 to 3 copy the file (turned
// for a landscape book); modes 4 to 6 convert it and write the type of the
// result into the marker; mode 0 brings nothing. The pictures are converted
// side by side; the log lists them in text order.
class PartPictures {
 public:
  PartPictures(const std::vector<std::string>& pictures, const PictureImport& import,
               const Path& work_folder);

  // Imports the pictures that all the markers of `text` name into `folder`
  // at once, and writes the type of each converted one into its markers.
  // Each part then copies its pictures from there: for a build that must
  // know every picture's size before it cuts the text into parts.
  void ImportAhead(std::span<char16_t> text, const Path& folder);

  // The files imported ahead that the markers of `part` name, each in the
  // name its part's package gives it.
  std::vector<Path> ImportedAhead(std::u16string_view part) const;

  // Brings the pictures of one part into the work folder, logging a line for
  // each (and the converter's warnings).
  void ImportPart(std::span<char16_t> part, const LogFunction& log);

 private:
  struct Marker;
  std::vector<Marker> FindMarkers(std::u16string_view text) const;
  // One picture imported into `folder`; the parts' pictures are brought
  // side by side.
  BroughtPicture BringOne(const Marker& marker, const Path& folder) const;
  void WriteType(std::span<char16_t> text, const Marker& marker,
                 const BroughtPicture& picture) const;

  const std::vector<std::string>& pictures_;
  PictureImport import_;
  Path work_folder_;
  Path ahead_folder_;
  std::map<int, BroughtPicture> ahead_;  // by picture number
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PART_PICTURES_H_
