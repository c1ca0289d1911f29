#include "imaging/magick_converter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/io_error.h"
#include "tests/pictures.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

testing::Picture PictureIn(const fs::path& file) {
  return testing::ReadPicture(testing::ReadBytes(file));
}

std::string Chunk(const std::string& type, const std::string& data) {
  auto be32 = [](uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16 & 255), char(v >> 8 & 255), char(v & 255)};
  };
  const std::string body = type + data;
  const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size());
  return be32(data.size()) + body + be32(crc);
}

// A PNG header that claims 20000 x 20000 pixels, with a few rows of data.
std::string HugePng() {
  std::string header = Chunk("IHDR", std::string("\0\0N\x20\0\0N\x20\x08\x02\0\0\0", 13));
  std::string rows(4 * (1 + 3 * 20000), '\0');
  uLongf size = compressBound(rows.size());
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &size,
           reinterpret_cast<const Bytef*>(rows.data()), rows.size());
  packed.resize(size);
  return "\x89PNG\r\n\x1a\n" + header + Chunk("IDAT", packed) + Chunk("IEND", "");
}

class MagickConverterTest : public ::testing::Test {
 protected:
  std::string Out(const std::string& name) const { return (folder_ / name).string(); }
  static fs::path Corpus(const std::string& name) {
    return testing::CorpusFolder() / "images" / name;
  }

  MagickConverter converter_;
  testing::ScratchFolder folder_;
};

TEST_F(MagickConverterTest, ConvertsEveryPictureTypeToFitTheGeometry) {
  VELKARO_REQUIRE_CORPUS();
  const struct {
    std::string source, destination, format;
  } cases[] = {
      {"png_rgba_transparent_200x150.png", "a.jpg", "JPEG"},
      {"photo_freshflower_1600x1203_progressive.jpg", "b.png", "PNG"},
      {"gif_hopper_static_128x128.gif", "c.jpg", "JPEG"},
      {"bmp_24bit_hopper_128x128.bmp", "d.png", "PNG"},
      {"bmp_rle8_hopper_128x128.bmp", "e.jpg", "JPEG"},
      {"gif_animated_42frames_245x245.gif", "f.png", "PNG"},  // its first frame only
      {"jpeg_cmyk_100x100.jpg", "g.png", "PNG"},
  };
  for (const auto& c : cases) {
    converter_.Convert(
        {Corpus(c.source).string(), "-resize", "64x48>", "-quality", "90", Out(c.destination)});
    const testing::Picture picture = PictureIn(Out(c.destination));
    EXPECT_EQ(picture.format, c.format) << c.source;
    EXPECT_TRUE(picture.width > 0 && picture.width <= 64 && picture.height <= 48)
        << c.source << ": " << picture.width << "x" << picture.height;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 7);
}

// Word documents hold TIFF pictures too; they are read by their first bytes
// whatever their name says.
TEST_F(MagickConverterTest, TiffPicturesConvert) {
  const fs::path tiff = folder_ / "in.tif";
  testing::WritePicture(tiff, 3, 2, std::vector<unsigned char>(3 * 2 * 3, 200));
  fs::rename(tiff, folder_ / "in.png");
  converter_.Convert({Out("in.png"), Out("out.jpg")});
  const testing::Picture picture = PictureIn(Out("out.jpg"));
  EXPECT_EQ(picture.format, "JPEG");
  EXPECT_EQ(picture.width, 3u);
}

TEST_F(MagickConverterTest, BadPicturesFailWithAClearMessage) {
  VELKARO_REQUIRE_CORPUS();
  const std::string text = folder_.Write("notes.png", "just some text\n").string();
  const std::string huge = folder_.Write("huge.png", HugePng()).string();
  const std::string empty = folder_.Write("empty.jpg", "").string();
  const struct {
    std::string source, message;  // a part of the message
  } cases[] = {
      {Corpus("broken/broken.png").string(), ""},
      {Corpus("broken/truncated_image.png").string(), ""},
      {Corpus("broken/truncated_jpeg.jpg").string(), ""},
      {Corpus("broken/bmp_b_badbitcount.bmp").string(), ""},
      {Corpus("broken/bmp_b_reallybig.bmp").string(), ""},
      {Corpus("broken/decompression_bomb.gif").string(), ""},
      {text, "Picture " + text + " is not a PNG, JPEG, GIF, BMP, TIFF or WMF file"},
      {empty, "is not a PNG, JPEG, GIF, BMP, TIFF or WMF file"},
      {huge, "Can not convert picture " + huge + ": "},
      {Out("missing.png"), "Can not read picture " + Out("missing.png") + ": File not found"},
  };
  for (const auto& c : cases) {
    const std::string message = testing::FailureOf([&] {
      converter_.Convert({c.source, "-strip", Out("out.png")});
    });
    if (message == "no failure") {
      // ImageMagick may repair some damage; then the picture must be whole.
      EXPECT_GT(PictureIn(Out("out.png")).width, 0u) << c.source;
    } else {
      EXPECT_NE(message.find(c.message), std::string::npos) << c.source << ": " << message;
      EXPECT_GT(message.size(), 10u) << c.source;
    }
    fs::remove(Out("out.png"));
  }
}

TEST_F(MagickConverterTest, OptionWordsReachNoOtherFile) {
  const fs::path source = folder_ / "in.png";
  testing::WritePicture(source, 1, 1, {1, 2, 3});
  const std::string secret = folder_.Write("secret.txt", "secret").string();
  const std::vector<std::vector<std::string>> refused = {
      {"@" + secret},
      {"-write", Out("other.png")},
      {"+write", Out("other.png")},
      {"-resize", "10x10", secret},
      {"-label", "@" + secret},
      {"-draw", "image over 0,0 0,0 '" + secret + "'"},
      {"-profile", secret},
      {"-limit", "memory", "10GiB"},
      {"-texture", "text:" + secret},
      {"msl:" + secret},
      {"-distribute-cache", "6668"},
      {"-debug", "All"},
  };
  for (const auto& words : refused) {
    std::vector<std::string> arguments = {source.string()};
    arguments.insert(arguments.end(), words.begin(), words.end());
    arguments.push_back(Out("out.png"));
    const std::string message = testing::FailureOf([&] { converter_.Convert(arguments); });
    EXPECT_EQ(message.rfind("ImageMagick option ", 0), 0u) << words[0] << ": " << message;
    EXPECT_FALSE(fs::exists(Out("out.png"))) << words[0];
    EXPECT_FALSE(fs::exists(Out("other.png"))) << words[0];
  }
  converter_.Convert({source.string(), "-define", "png:bit-depth=8", "+profile", "*", "-strip",
                      "-quality", "100", Out("out.png")});
  EXPECT_EQ(PictureIn(Out("out.png")).format, "PNG");
}

}  // namespace
}  // namespace velkaro
