#include "imaging/magick_converter.h"

#include <wand/MagickWand.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "imaging/option_words.h"
#include "imaging/picture_size.h"
#include "imaging/png_chunks.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/temp_folder.h"

namespace velkaro {
namespace {

constexpr char kNotAvailable[] = "Picture conversion with ImageMagick is not available";
constexpr auto kLongestConversion = std::chrono::seconds(60);
constexpr MagickSizeType kMegabyte = 1024 * 1024;
constexpr MagickSizeType kWidestPicture = 16000;
constexpr MagickSizeType kLargestArea = 128 * kMegabyte;

// What ImageMagick reported during the conversion running on this thread; its
// handlers are process-wide, so each thread keeps its own lines.
struct Messages {
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
};
thread_local Messages messages;

std::string MessageText(const char* reason, const char* description) {
  std::string text = reason ? reason : "";
  if (description && *description) text += std::string(text.empty() ? "" : " ") + description;
  return text;
}

void KeepError(const ExceptionType, const char* reason, const char* description) {
  messages.errors.push_back(MessageText(reason, description));
}

void KeepWarning(const ExceptionType, const char* reason, const char* description) {
  messages.warnings.push_back(MessageText(reason, description));
}

// A picture that takes too long is cancelled through the progress monitor:
// ImageMagick's own time limit would end the whole process.
MagickBooleanType WithinTime(const char*, const MagickOffsetType, const MagickSizeType,
                             void* deadline) {
  using Clock = std::chrono::steady_clock;
  return Clock::now() < *static_cast<Clock::time_point*>(deadline) ? MagickTrue : MagickFalse;
}

// Inside this process ImageMagick may read and write only the four picture
// formats a phone shows, besides reading the TIFF and WMF pictures that
// documents hold (and the DIB bitmaps inside a WMF), never run another
// program, and never take a list of files from an "@" file, whatever the
// system's own policy allows.
constexpr char kSecurityPolicy[] = R"(<policymap>
  <policy domain="delegate" rights="none" pattern="*"/>
  <policy domain="coder" rights="none" pattern="*"/>
  <policy domain="coder" rights="read|write" pattern="{PNG,JPEG,GIF,BMP}"/>
  <policy domain="coder" rights="read" pattern="{TIFF,WMF,DIB}"/>
  <policy domain="path" rights="none" pattern="@*"/>
</policymap>)";

// Whether ImageMagick now keeps to kSecurityPolicy; asking also loads its
// policies, which it otherwise does on first need.
bool KeepsToThePolicy() {
  auto allowed = [](PolicyDomain domain, PolicyRights rights, const char* name) {
    return IsRightsAuthorized(domain, rights, name) == MagickTrue;
  };
  return allowed(CoderPolicyDomain, ReadPolicyRights, "PNG") &&
         allowed(CoderPolicyDomain, WritePolicyRights, "JPEG") &&
         !allowed(CoderPolicyDomain, ReadPolicyRights, "MVG") &&
         !allowed(DelegatePolicyDomain, ExecutePolicyRights, "doc") &&
         !allowed(PathPolicyDomain, ReadPolicyRights, "@list");
}

// The library of Debian's later updates takes the policy after the system's
// own, which it then overrides; an earlier one refuses it once the system has
// a policy. So it is also put first in ImageMagick's configuration path,
// from which ImageMagick reads it before the system's policy file.
void InstallSecurityPolicy() {
  const TempFolder folder("velkaro-magick-");
  WriteWholeFile(folder.path() / "policy.xml", kSecurityPolicy);
  const char* const old_path = std::getenv("MAGICK_CONFIGURE_PATH");
  const std::string saved = old_path ? old_path : "";
  setenv("MAGICK_CONFIGURE_PATH", (folder.path().string() + ":" + saved).c_str(), 1);
  MagickWandGenesis();
  KeepsToThePolicy();  // reads the policy files while the folder is there
  if (old_path) {
    setenv("MAGICK_CONFIGURE_PATH", saved.c_str(), 1);
  } else {
    unsetenv("MAGICK_CONFIGURE_PATH");
  }
  ExceptionInfo* exception = AcquireExceptionInfo();
  SetMagickSecurityPolicy(kSecurityPolicy, exception);
  DestroyExceptionInfo(exception);
}

bool StartImageMagick() {
  try {
    InstallSecurityPolicy();
  } catch (const Error&) {
    return false;
  }
  SetErrorHandler(KeepError);
  SetFatalErrorHandler(KeepError);
  SetWarningHandler(KeepWarning);
  // A book's pictures are meant for a phone screen; these bounds leave room
  // for large photos while a hostile file fails instead of filling the machine.
  return KeepsToThePolicy() && SetMagickResourceLimit(MemoryResource, 512 * kMegabyte) &&
         SetMagickResourceLimit(MapResource, 1024 * kMegabyte) &&
         SetMagickResourceLimit(DiskResource, 1024 * kMegabyte) &&
         SetMagickResourceLimit(AreaResource, kLargestArea) &&
         SetMagickResourceLimit(WidthResource, kWidestPicture) &&
         SetMagickResourceLimit(HeightResource, kWidestPicture) &&
         SetMagickResourceLimit(ListLengthResource, 1000);
}

std::unique_ptr<InputFile> OpenPicture(const std::string& source) {
  try {
    return std::make_unique<InputFile>(source);
  } catch (const Error& e) {
    throw Error("Can not read picture " + source + ": " + e.what());
  }
}

// The coder of a picture file from its first bytes, so that a file's name
// can never make ImageMagick read it as a script or a drawing.
std::string PictureCoder(InputFile& source, const std::string& name) {
  char head[4] = {};
  source.Read(head, sizeof head);
  const std::string_view bytes(head, sizeof head);
  if (bytes == "\x89PNG") return "png";
  if (bytes.substr(0, 3) == "\xFF\xD8\xFF") return "jpeg";
  if (bytes.substr(0, 3) == "GIF") return "gif";
  if (bytes.substr(0, 2) == "BM") return "bmp";
  if (bytes == std::string_view("II*\0", 4) || bytes == std::string_view("MM\0*", 4)) return "tiff";
  if (bytes == "\xD7\xCD\xC6\x9A" || bytes == std::string_view("\x01\0\x09\0", 4) ||
      bytes == std::string_view("\x02\0\x09\0", 4)) {
    return "wmf";
  }
  throw Error("Picture " + name + " is not a PNG, JPEG, GIF, BMP, TIFF or WMF file");
}

// The coder that writes the format a destination's extension names.
std::string DestinationCoder(const std::string& destination) {
  std::string extension = std::filesystem::path(destination).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".png" || extension == ".gif" || extension == ".bmp") {
    return extension.substr(1);
  }
  if (extension == ".jpg" || extension == ".jpeg") return "jpeg";
  throw Error("Can not convert a picture to " + destination + ": no PNG, JPEG, GIF or BMP name");
}

// ImageMagick reads "x%d.png" as x0.png and "x[1].png" as x1.png; the files
// are named to it by their open descriptors instead, with the coder spelled
// out, so no name of the book's is ever read as a pattern.
std::string ByDescriptor(const std::string& coder, int fd) {
  return coder + ":/proc/self/fd/" + std::to_string(fd);
}

std::vector<std::string> CommandLine(const std::vector<std::string>& arguments,
                                     const std::string& source, const std::string& destination) {
  std::vector<std::string> line = {"convert", source + "[0]"};
  // On a command line an empty word is an empty file name; here it is none.
  for (size_t i = 1; i + 1 < arguments.size(); ++i) {
    if (!arguments[i].empty()) line.push_back(arguments[i]);
  }
  line.push_back(destination);
  return line;
}

// The descriptor names given to ImageMagick, each with the file it stands for.
using Renames = std::vector<std::pair<std::string, std::string>>;

// One of ImageMagick's messages as a user can read it: with the book's file
// names, without the place in ImageMagick's source that raised it.
std::string Readable(std::string error, const Renames& renames) {
  const size_t place = error.find(" @ ");
  if (place != std::string::npos) error.erase(place);
  for (const auto& [descriptor, file] : renames) {
    // ImageMagick quotes a name `thus', with or without its coder.
    for (const std::string& name : {descriptor, descriptor.substr(descriptor.find(':') + 1)}) {
      const std::string quoted = "`" + name + "'";
      const std::string named = "`" + file + "'";
      for (size_t at = error.find(quoted); at != std::string::npos;
           at = error.find(quoted, at + named.size())) {
        error.replace(at, quoted.size(), named);
      }
    }
  }
  return error;
}

// "no images defined" follows every failed read; it says something only
// when the reader gave no reason of its own.
std::string FailureText(const std::vector<std::string>& errors, const Renames& renames) {
  std::string text;
  for (const std::string& error : errors) {
    if (error.starts_with("no images defined")) continue;
    text += (text.empty() ? "" : "; ") + Readable(error, renames);
  }
  if (!text.empty()) return text;
  return errors.empty() ? "ImageMagick gave no reason"
                        : "ImageMagick could not read it as a picture";
}

// Bounds that ImageMagick would apply only after reading far into the file,
// or, for PNG text chunks, not before the machine runs out of memory.
void CheckPictureBounds(InputFile& picture, const std::string& coder) {
  const std::optional<PictureSize> size = ReadPictureSize(picture, coder);
  if (size && (size->width > kWidestPicture || size->height > kWidestPicture ||
               size->width * size->height > kLargestArea)) {
    throw Error("it is " + std::to_string(size->width) + " x " + std::to_string(size->height) +
                " pixels, more than the " + std::to_string(kWidestPicture) + " a side and " +
                std::to_string(kLargestArea / kMegabyte) + " megapixels that are converted");
  }
  if (coder == "png") CheckPngChunks(picture);
}

// Runs convert over the command line; returns false when it failed.
bool RunConvert(std::vector<std::string>& line) {
  std::vector<char*> argv;
  for (std::string& word : line) argv.push_back(word.data());
  auto deadline = std::chrono::steady_clock::now() + kLongestConversion;
  ImageInfo* info = AcquireImageInfo();
  SetImageInfoProgressMonitor(info, WithinTime, &deadline);
  ExceptionInfo* exception = AcquireExceptionInfo();
  const MagickBooleanType ok = MagickCommandGenesis(
      info, ConvertImageCommand, static_cast<int>(argv.size()), argv.data(), nullptr, exception);
  if (exception->severity >= ErrorException) {
    messages.errors.push_back(MessageText(exception->reason, exception->description));
  }
  DestroyExceptionInfo(exception);
  DestroyImageInfo(info);
  if (std::chrono::steady_clock::now() >= deadline) {
    messages.errors.push_back("ImageMagick stopped: the conversion took longer than 60 seconds");
  }
  return ok == MagickTrue && messages.errors.empty();
}

}  // namespace

MagickConverter::MagickConverter() {
  static const bool started = StartImageMagick();
  if (!started) throw Error(kNotAvailable);
}

std::vector<std::string> MagickConverter::Convert(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) throw Error("ImageMagick needs a source and a destination");
  const std::string& source = arguments.front();
  const std::string& destination = arguments.back();
  CheckOptionWords({arguments.begin() + 1, arguments.end() - 1});
  const std::string output_coder = DestinationCoder(destination);
  const std::unique_ptr<InputFile> in = OpenPicture(source);
  const std::string input_coder = PictureCoder(*in, source);
  try {
    CheckPictureBounds(*in, input_coder);
  } catch (const Error& e) {
    throw Error("Can not convert picture " + source + ": " + e.what());
  }
  OutputFile out(destination, WriteMode::kReplace);
  const std::string input = ByDescriptor(input_coder, in->fd());
  const std::string output = ByDescriptor(output_coder, out.fd());
  std::vector<std::string> line = CommandLine(arguments, input, output);
  messages = Messages();
  const bool converted = RunConvert(line);
  out.Close();
  if (!converted) {
    RemoveFile(destination);
    const Renames renames = {{output, destination}, {input, source}};
    throw Error("Can not convert picture " + source + ": " + FailureText(messages.errors, renames));
  }
  return std::move(messages.warnings);
}

std::shared_ptr<ImageConverter> CreateMagickConverter() {
  return std::make_shared<MagickConverter>();
}

}  // namespace velkaro
