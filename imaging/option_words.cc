#include "imaging/option_words.h"

#include <wand/MagickWand.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/io_error.h"

namespace velkaro {
namespace {

// What an option's argument must read as. None of them can name a file, a
// coder ("text:..."), a list of files ("@...") or a file-name pattern ("%d").
enum class Argument {
  kNone,
  kNumber,    // 85, -90, 1.5, 10%
  kGeometry,  // 160x128>, 50%, 0x1.5+1+0.05, 10,90%
  kColour,    // a name ImageMagick knows, #rrggbb, rgb(1,2,3)
  kChoice,    // one of the words of an ImageMagick list: Gray, Lanczos, ...
  kProfiles,  // profile names for +profile: "*", "icc,exif", "!icc"
  kDefine,    // a coder setting of the allowed ones, key=value
};

struct AllowedOption {
  std::string_view word;
  Argument argument;
  CommandOption choices = MagickUndefinedOptions;  // for kChoice
};

// The options that change a picture's size, quality, depth, colours,
// sharpness or orientation. Everything else (reading or writing other files,
// drawing text, lifting limits, showing windows) is refused.
constexpr AllowedOption kAllowed[] = {
    // Size and placement.
    {"-resize", Argument::kGeometry},
    {"-thumbnail", Argument::kGeometry},
    {"-scale", Argument::kGeometry},
    {"-sample", Argument::kGeometry},
    {"-adaptive-resize", Argument::kGeometry},
    {"-resample", Argument::kGeometry},
    {"-crop", Argument::kGeometry},
    {"-shave", Argument::kGeometry},
    {"-extent", Argument::kGeometry},
    {"-border", Argument::kGeometry},
    {"-repage", Argument::kGeometry},
    {"+repage", Argument::kNone},
    {"-trim", Argument::kNone},
    {"-density", Argument::kGeometry},
    {"-units", Argument::kChoice, MagickResolutionOptions},
    {"-gravity", Argument::kChoice, MagickGravityOptions},
    {"-filter", Argument::kChoice, MagickFilterOptions},
    {"-interpolate", Argument::kChoice, MagickInterpolateOptions},
    // Quality and file settings.
    {"-quality", Argument::kNumber},
    {"-depth", Argument::kNumber},
    {"-interlace", Argument::kChoice, MagickInterlaceOptions},
    {"-sampling-factor", Argument::kGeometry},
    {"-strip", Argument::kNone},
    {"+profile", Argument::kProfiles},
    {"-define", Argument::kDefine},
    // Colours.
    {"-colors", Argument::kNumber},
    {"-colorspace", Argument::kChoice, MagickColorspaceOptions},
    {"-type", Argument::kChoice, MagickTypeOptions},
    {"-dither", Argument::kChoice, MagickDitherOptions},
    {"+dither", Argument::kNone},
    {"-monochrome", Argument::kNone},
    {"-posterize", Argument::kNumber},
    {"-negate", Argument::kNone},
    {"-normalize", Argument::kNone},
    {"-equalize", Argument::kNone},
    {"-contrast", Argument::kNone},
    {"+contrast", Argument::kNone},
    {"-contrast-stretch", Argument::kGeometry},
    {"-linear-stretch", Argument::kGeometry},
    {"-level", Argument::kGeometry},
    {"+level", Argument::kGeometry},
    {"-auto-level", Argument::kNone},
    {"-auto-gamma", Argument::kNone},
    {"-gamma", Argument::kNumber},
    {"-brightness-contrast", Argument::kGeometry},
    {"-modulate", Argument::kGeometry},
    {"-colorize", Argument::kGeometry},
    {"-sepia-tone", Argument::kGeometry},
    {"-threshold", Argument::kGeometry},
    {"-black-threshold", Argument::kGeometry},
    {"-white-threshold", Argument::kGeometry},
    {"-grayscale", Argument::kChoice, MagickPixelIntensityOptions},
    {"-channel", Argument::kChoice, MagickChannelOptions},
    {"+channel", Argument::kNone},
    {"-alpha", Argument::kChoice, MagickAlphaOptions},
    {"-flatten", Argument::kNone},
    {"-fuzz", Argument::kGeometry},
    {"-fill", Argument::kColour},
    {"-background", Argument::kColour},
    {"-bordercolor", Argument::kColour},
    {"-transparent", Argument::kColour},
    {"-opaque", Argument::kColour},
    {"+opaque", Argument::kColour},
    // Sharpness.
    {"-sharpen", Argument::kGeometry},
    {"-adaptive-sharpen", Argument::kGeometry},
    {"-unsharp", Argument::kGeometry},
    {"-blur", Argument::kGeometry},
    {"-gaussian-blur", Argument::kGeometry},
    {"-despeckle", Argument::kNone},
    {"-enhance", Argument::kNone},
    // Orientation.
    {"-rotate", Argument::kGeometry},
    {"-flip", Argument::kNone},
    {"-flop", Argument::kNone},
    {"-transpose", Argument::kNone},
    {"-transverse", Argument::kNone},
    {"-auto-orient", Argument::kNone},
    {"-orient", Argument::kChoice, MagickOrientationOptions},
};

// The coder settings a -define may make: how a PNG or JPEG is packed. Some
// others read files (jpeg:q-table) or move temporary files (registry:).
constexpr std::array<std::string_view, 11> kAllowedDefines = {"jpeg:extent",
                                                              "jpeg:optimize-coding",
                                                              "jpeg:dct-method",
                                                              "jpeg:sampling-factor",
                                                              "png:compression-level",
                                                              "png:compression-filter",
                                                              "png:compression-strategy",
                                                              "png:color-type",
                                                              "png:bit-depth",
                                                              "png:exclude-chunk",
                                                              "png:format"};

bool OnlyOf(std::string_view text, std::string_view allowed) {
  return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kLettersAndDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsNumber(std::string_view word) {
  if (word.starts_with('-') || word.starts_with('+')) word.remove_prefix(1);
  if (word.ends_with('%')) word.remove_suffix(1);
  const size_t point = word.find('.');
  if (point == std::string_view::npos) return OnlyOf(word, kDigits);
  return OnlyOf(word.substr(0, point), kDigits) &&
         (point + 1 == word.size() || OnlyOf(word.substr(point + 1), kDigits));
}

bool ReadsAsGeometry(std::string_view word) {
  return OnlyOf(word, "0123456789.xX+-%!<>^,:") && word.find_first_of(kDigits) != word.npos &&
         IsGeometry(std::string(word).c_str()) == MagickTrue;
}

bool IsColour(std::string_view word) {
  if (!OnlyOf(word, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789#(),.% ")) {
    return false;
  }
  PixelPacket colour;
  ExceptionInfo* exception = AcquireExceptionInfo();
  const MagickBooleanType known =
      QueryColorCompliance(std::string(word).c_str(), AllCompliance, &colour, exception);
  DestroyExceptionInfo(exception);
  return known == MagickTrue;
}

bool IsChoice(std::string_view word, CommandOption choices) {
  return OnlyOf(word, std::string(kLettersAndDigits) + "-,") &&
         ParseCommandOption(choices, MagickFalse, std::string(word).c_str()) >= 0;
}

bool IsAllowedDefine(std::string_view word) {
  const size_t equals = word.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = word.substr(0, equals);
  return std::find(kAllowedDefines.begin(), kAllowedDefines.end(), key) != kAllowedDefines.end() &&
         OnlyOf(word.substr(equals + 1), std::string(kLettersAndDigits) + ".,:_-");
}

// What is wrong with an argument, or "" when it reads as its kind must.
std::string_view ArgumentFault(const AllowedOption& option, std::string_view word) {
  switch (option.argument) {
    case Argument::kNone:
      return "";
    case Argument::kNumber:
      return IsNumber(word) ? "" : "its argument must be a number";
    case Argument::kGeometry:
      return ReadsAsGeometry(word) ? "" : "its argument must be a size or geometry";
    case Argument::kColour:
      return IsColour(word) ? "" : "its argument must be a colour";
    case Argument::kChoice:
      return IsChoice(word, option.choices) ? "" : "its argument is none of the option's words";
    case Argument::kProfiles:
      return OnlyOf(word, std::string(kLettersAndDigits) + "*,!-")
                 ? ""
                 : "its argument must name profiles";
    case Argument::kDefine:
      return IsAllowedDefine(word) ? "" : "only PNG and JPEG packing settings may be defined";
  }
  return "";
}

const AllowedOption* FindAllowed(std::string_view word) {
  for (const AllowedOption& option : kAllowed) {
    if (option.word == word) return &option;
  }
  return nullptr;
}

[[noreturn]] void Refuse(std::string_view words, std::string_view why) {
  throw Error("ImageMagick option " + std::string(words) + " is not allowed: " + std::string(why));
}

}  // namespace

void CheckOptionWords(const std::vector<std::string>& words) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.empty()) continue;
    const AllowedOption* option = FindAllowed(word);
    if (!option) {
      Refuse(word, word[0] == '-' || word[0] == '+'
                       ? "only options that change a picture's size, quality, depth, colours, "
                         "sharpness or orientation are"
                       : "it is no option, and would be read as a picture file");
    }
    if (option->argument == Argument::kNone) continue;
    if (i + 1 == words.size() || words[i + 1].empty()) Refuse(word, "it needs an argument");
    const std::string& argument = words[++i];
    const std::string_view fault = ArgumentFault(*option, argument);
    if (!fault.empty()) Refuse(word + " " + argument, fault);
  }
}

}  // namespace velkaro
