// Builds a text book with 100 photos of 3000 x 2000 pixels in picture import
// mode 4 (each photo converted to PNG and to JPEG, the smaller kept) and runs
// the same two conversions per photo with ImageMagick's command-line tool,
// one after another. Prints both times, their ratio (the target is at most
// 1.2) and whether the pictures match a one-at-a-time conversion.
#include <wand/MagickWand.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_util.h"
#include "engine/picture_conversion.h"
#include "engine/velkaro.h"
#include "imaging/magick_converter.h"

namespace velkaro::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kPhotos = 100;
constexpr int kComparedPhotos = 10;
constexpr char kPngOptions[] = "-resize 160x128> -quality 100 -depth 8";
constexpr char kJpgOptions[] = "-resize 160x128> -depth 8";

// Colour gradients crossed by a pattern, for a machine without the corpus.
void MakeGradient(MagickWand* wand, size_t width, size_t height) {
  std::vector<unsigned char> rgb;
  rgb.reserve(width * height * 3);
  for (size_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < width; ++x) {
      rgb.push_back(static_cast<unsigned char>(x * 255 / width));
      rgb.push_back(static_cast<unsigned char>(y * 255 / height));
      rgb.push_back(static_cast<unsigned char>((x ^ y) & 0xFF));
    }
  }
  MagickConstituteImage(wand, width, height, "RGB", CharPixel, rgb.data());
}

// Photo i: a corpus photo (or a made picture without the corpus) stretched
// to 3000 x 2000, its hue turned a little per photo so that no two are alike.
std::vector<std::string> MakePhotos(const fs::path& folder) {
  const fs::path corpus_photo = CorpusFolder() / "images" / "photo_storm_1920x1280_exif.jpg";
  MagickWand* base = NewMagickWand();
  if (!fs::exists(corpus_photo) || MagickReadImage(base, corpus_photo.c_str()) != MagickTrue) {
    MakeGradient(base, 3000, 2000);
  }
  MagickResizeImage(base, 3000, 2000, LanczosFilter, 1.0);
  std::vector<std::string> photos;
  for (int i = 0; i < kPhotos; ++i) {
    MagickWand* photo = CloneMagickWand(base);
    MagickModulateImage(photo, 100, 100, 100 + (i % 40) - 20);
    MagickSetImageCompressionQuality(photo, 90);
    photos.push_back((folder / ("photo" + std::to_string(i) + ".jpg")).string());
    MagickWriteImage(photo, ("jpeg:" + photos.back()).c_str());  // the policy knows no "JPG"
    DestroyMagickWand(photo);
  }
  DestroyMagickWand(base);
  return photos;
}

double CommandLineSeconds(const std::vector<std::string>& photos, const fs::path& out) {
  Stopwatch watch;
  for (const std::string& photo : photos) {
    for (const auto& [options, extension] :
         {std::pair{kPngOptions, ".png"}, std::pair{kJpgOptions, ".jpg"}}) {
      const std::string command = "convert-im6.q16 '" + photo + "' " + options + " '" +
                                  (out / ("cli" + std::string(extension))).string() + "'";
      // The geometry's ">" must reach ImageMagick, not the shell.
      std::string quoted = command;
      quoted.replace(quoted.find("160x128>"), 8, "'160x128>'");
      if (std::system(quoted.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", quoted.c_str());
    }
  }
  return watch.Seconds();
}

class CapturedLog : public LogSink {
 public:
  void AppendLine(const std::string& line) override {
    if (line.rfind("Resize and convert image ", 0) == 0) pictures.push_back(line);
  }
  std::vector<std::string> pictures;
};

// The ends of the picture lines ("/pic1.png (N bytes)") that a one-at-a-time
// conversion of the first photos gives.
std::vector<std::string> OneAtATime(const std::vector<std::string>& photos, const fs::path& work,
                                    ImageConverter& converter) {
  PictureImport import;
  import.mode = 4;
  import.png_options = kPngOptions;
  import.jpg_options = kJpgOptions;
  import.converter = &converter;
  fs::create_directories(work);
  std::vector<std::string> lines;
  for (size_t i = 0; i < photos.size(); ++i) {
    const std::string base = (work / ("pic" + std::to_string(i + 1))).string();
    BroughtPicture picture = ConvertForMode(import, photos[i], base);
    lines.push_back("/pic" + std::to_string(i + 1) + picture.extension + " (" +
                    std::to_string(picture.size) + " bytes)");
  }
  return lines;
}

int Run() {
  CreateMagickConverter();  // ImageMagick starts with the program's own policy
  const fs::path root = fs::temp_directory_path() / "velkaro-picture-bench";
  fs::remove_all(root);
  fs::create_directories(root / "photos");
  std::printf("Generating %d photos of 3000x2000...\n", kPhotos);
  const std::vector<std::string> photos = MakePhotos(root / "photos");

  std::string text;
  for (const std::string& photo : photos) text += "A photo: <img " + photo + ">\n";
  std::FILE* file = std::fopen((root / "book.txt").c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);

  TVelkaro book = TVelkaro::CreateDefault();
  CapturedLog log;
  book.LogView = &log;
  book.BookName = "Photos";
  book.BookMode = true;
  book.PortraitLayout = true;
  book.Font.reset();
  book.Tags = true;
  book.PartSize = 1000000;
  book.ImageMode = 4;
  book.ImagePngOptions = kPngOptions;
  book.ImageJpgOptions = kJpgOptions;
  book.TextFileName = (root / "book.txt").string();
  book.MidletsFolder = (root / "midlets").string();
  book.TempFolder = (root / "temp").string();
  book.CreateConverter = CreateMagickConverter;

  Stopwatch build_watch;
  std::string error;
  const bool built = book.Build(&error);
  const double build_seconds = build_watch.Seconds();
  if (!built) {
    std::printf("Build failed: %s\n", error.c_str());
    return 1;
  }
  const double cli_seconds = CommandLineSeconds(photos, root);

  const std::vector<std::string> first(photos.begin(), photos.begin() + kComparedPhotos);
  const std::vector<std::string> single = OneAtATime(first, root / "single", *book.Converter);
  bool same = log.pictures.size() == photos.size();
  for (size_t i = 0; same && i < single.size(); ++i) {
    const std::string& line = log.pictures[i];
    same = line.size() > single[i].size() &&
           line.compare(line.size() - single[i].size(), single[i].size(), single[i]) == 0;
  }

  std::printf("Mode 4, %d photos of 3000x2000, %u hardware threads\n", kPhotos,
              std::thread::hardware_concurrency());
  std::printf("  whole build:                   %8.2f s\n", build_seconds);
  std::printf("  convert-im6.q16, one by one:   %8.2f s\n", cli_seconds);
  std::printf("  ratio build / command line:    %8.2f (target <= 1.20)\n",
              build_seconds / cli_seconds);
  std::printf("  first %d pictures as one at a time: %s\n", kComparedPhotos,
              same ? "identical" : "DIFFERENT");
  std::printf("  peak memory:                   %8.1f MB\n", PeakMemoryBytes() / 1048576.0);
  fs::remove_all(root);
  return same ? 0 : 1;
}

}  // namespace
}  // namespace velkaro::bench

int main() { return velkaro::bench::Run(); }
