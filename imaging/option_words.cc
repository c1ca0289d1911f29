#include "imaging/option_words.h"

#include <wand/MagickWand.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "platform/io_error.h"

namespace velkaro {
namespace {

// Options whose argument names a file, or that change where output goes or
// what the conversion may spend.
constexpr std::array<std::string_view, 19> kRefusedOptions = {
    "-write",   "+write", "-profile",   "-draw", "-tile",     "-texture", "-remap",
    "-map",     "-mask",  "-clip-mask", "-cdl",  "-font",     "-family",  "-limit",
    "-process", "-log",   "-debug",     "-list", "-clip-path"};

// Coders that read other files, run scripts or reach the network.
constexpr std::array<std::string_view, 22> kRefusedCoders = {
    "msl:",  "ephemeral:", "text:",  "label:@", "caption:@", "mvg:", "svg:",    "msvg:",
    "url:",  "http:",      "https:", "ftp:",    "file:",     "fd:",  "inline:", "mpr:",
    "show:", "win:",       "x:",     "vid:",    "pango:",    "rsvg:"};

std::string Lower(std::string_view word) {
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

[[noreturn]] void Refuse(const std::string& word, const std::string& why) {
  throw Error("ImageMagick option " + word + " is not allowed: " + why);
}

void CheckWordText(const std::string& word) {
  const std::string lower = Lower(word);
  if (StartsWith(lower, "@")) Refuse(word, "it reads another file");
  for (std::string_view coder : kRefusedCoders) {
    if (StartsWith(lower, coder)) Refuse(word, "it reads another file");
  }
}

// The number of words the option takes, or -1 when it is not convert's.
ssize_t ArgumentCount(const std::string& option) {
  if (IsCommandOption(option.c_str()) == MagickFalse) return -1;
  return ParseCommandOption(MagickCommandOptions, MagickFalse, option.c_str());
}

}  // namespace

void CheckOptionWords(const std::vector<std::string>& words) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.empty()) continue;
    CheckWordText(word);
    const ssize_t arguments = ArgumentCount(word);
    if (arguments < 0) Refuse(word, "it is no option of convert, which would read it as a file");
    const std::string option = Lower(word);
    for (std::string_view refused : kRefusedOptions) {
      if (option == refused) Refuse(word, "it reads or writes other files");
    }
    for (ssize_t k = 0; k < arguments && i + 1 < words.size(); ++k) CheckWordText(words[++i]);
  }
}

}  // namespace velkaro
