#include "imaging/magick_converter.h"

#include <wand/MagickWand.h>

#include <chrono>
#include <filesystem>
#include <mutex>

#include "imaging/option_words.h"
#include "platform/files.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr char kNotAvailable[] = "Picture conversion with ImageMagick is not available";
constexpr auto kLongestConversion = std::chrono::seconds(60);
constexpr MagickSizeType kMegabyte = 1024 * 1024;

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

bool StartImageMagick() {
  MagickWandGenesis();
  SetErrorHandler(KeepError);
  SetFatalErrorHandler(KeepError);
  SetWarningHandler(KeepWarning);
  // A book's pictures are meant for a phone screen; these bounds leave room
  // for large photos while a hostile file fails instead of filling the machine.
  return SetMagickResourceLimit(MemoryResource, 512 * kMegabyte) &&
         SetMagickResourceLimit(MapResource, 1024 * kMegabyte) &&
         SetMagickResourceLimit(DiskResource, 1024 * kMegabyte) &&
         SetMagickResourceLimit(AreaResource, 128 * kMegabyte) &&
         SetMagickResourceLimit(WidthResource, 16000) &&
         SetMagickResourceLimit(HeightResource, 16000) &&
         SetMagickResourceLimit(ListLengthResource, 1000);
}

// The coder of a picture file from its first bytes, so that a file's name
// can never make ImageMagick read it as a script or a drawing.
std::string PictureCoder(const std::string& source) {
  char head[4] = {};
  try {
    InputFile in(source);
    in.Read(head, sizeof head);
  } catch (const Error& e) {
    throw Error("Can not read picture " + source + ": " + e.what());
  }
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
  throw Error("Picture " + source + " is not a PNG, JPEG, GIF, BMP, TIFF or WMF file");
}

std::vector<std::string> CommandLine(const std::vector<std::string>& arguments) {
  const std::string& source = arguments.front();
  std::vector<std::string> line = {
      "convert", PictureCoder(source) + ":" + std::filesystem::absolute(source).string() + "[0]"};
  // On a command line an empty word is an empty file name; here it is none.
  for (size_t i = 1; i + 1 < arguments.size(); ++i) {
    if (!arguments[i].empty()) line.push_back(arguments[i]);
  }
  line.push_back(std::filesystem::absolute(arguments.back()).string());
  return line;
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
  CheckOptionWords({arguments.begin() + 1, arguments.end() - 1});
  std::vector<std::string> line = CommandLine(arguments);
  messages = Messages();
  if (!RunConvert(line)) {
    std::string text;
    for (const std::string& error : messages.errors) text += (text.empty() ? "" : "; ") + error;
    throw Error("Can not convert picture " + arguments.front() + ": " +
                (text.empty() ? "ImageMagick gave no reason" : text));
  }
  return std::move(messages.warnings);
}

std::shared_ptr<ImageConverter> CreateMagickConverter() {
  return std::make_shared<MagickConverter>();
}

}  // namespace velkaro
