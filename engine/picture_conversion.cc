#include "engine/picture_conversion.h"

#include "engine/build_steps.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr size_t kMostOptionWords = 10;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && IsBlankOrControl(text[first])) ++first;
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

uint64_t Convert(const PictureImport& import, std::vector<std::string> arguments,
                 std::vector<std::string>& warnings) {
  if (!import.converter) throw Error("Picture conversion with ImageMagick is not available");
  const Path destination = arguments.back();
  for (std::string& warning : import.converter->Convert(arguments)) {
    warnings.push_back(std::move(warning));
  }
  return FileSizeOf(destination);
}

}  // namespace

std::vector<std::string> SplitOptionWords(const std::string& options) {
  std::vector<std::string> words;
  std::string rest = Trimmed(options) + " ";
  for (size_t space; (space = rest.find(' ')) != std::string::npos;) {
    words.push_back(Trimmed(rest.substr(0, space)));
    size_t next = space;
    while (next < rest.size() && IsBlankOrControl(rest[next])) ++next;
    rest.erase(0, next);
  }
  if (words.size() > kMostOptionWords) {
    throw Error("Too many ImageMagick options: " + std::to_string(words.size()));
  }
  return words;
}

uint64_t ConvertPicture(const PictureImport& import, const std::string& source,
                        const Path& destination, std::vector<std::string>& warnings) {
  const std::string target = destination.string();
  std::vector<std::string> words =
      SplitOptionWords(EndsWith(target, ".png") ? import.png_options : import.jpg_options);
  // The options act on the picture as the reader shows it, before the turn,
  // so that a picture fills the turned screen as it would the upright one.
  std::vector<std::string> arguments = {source};
  arguments.insert(arguments.end(), words.begin(), words.end());
  if (import.turn) arguments.insert(arguments.end(), {"-rotate", "90"});
  arguments.push_back(target);
  return Convert(import, std::move(arguments), warnings);
}

BroughtPicture ConvertForMode(const PictureImport& import, const std::string& source,
                              const std::string& base) {
  BroughtPicture picture;
  if (import.mode == 5 || import.mode == 6) {
    picture.extension = import.mode == 5 ? ".png" : ".jpg";
    picture.size = ConvertPicture(import, source, base + picture.extension, picture.warnings);
    return picture;
  }
  const uint64_t png_size = ConvertPicture(import, source, base + ".png", picture.warnings);
  const uint64_t jpg_size = ConvertPicture(import, source, base + ".jpg", picture.warnings);
  const bool jpg_wins = jpg_size < png_size;
  picture.extension = jpg_wins ? ".jpg" : ".png";
  picture.size = jpg_wins ? jpg_size : png_size;
  RemoveFile(base + (jpg_wins ? ".png" : ".jpg"));
  return picture;
}

BroughtPicture CopyOrTurn(const PictureImport& import, const std::string& source,
                          const std::string& base, const std::string& extension) {
  BroughtPicture picture;
  picture.extension = extension;
  const Path destination = base + extension;
  if (import.turn) {
    picture.size =
        Convert(import, {source, "-rotate", "90", destination.string()}, picture.warnings);
  } else {
    CopyBookFile(source, destination);
    picture.size = FileSizeOf(destination);
  }
  return picture;
}

}  // namespace velkaro
