#include "imaging/magick_converter.h"

#include <gtest/gtest.h>
#include <wand/MagickWand.h>
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

std::string Packed(const std::string& bytes) {
  uLongf size = compressBound(bytes.size());
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &size,
           reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
  packed.resize(size);
  return packed;
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
  return "\x89PNG\r\n\x1a\n" + header +
         Chunk("IDAT", Packed(std::string(4 * (1 + 3 * 20000), '\0'))) + Chunk("IEND", "");
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
// An uncompressed RGB TIFF of one grey, made by hand: ImageMagick in this
// process may read TIFF but not write it.
std::string GreyTiff(uint16_t width, uint16_t height) {
  auto le = [](uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> 8 * i & 255);
    return out;
  };
  const uint16_t kShort = 3, kLong = 4;
  const struct {
    uint16_t tag, type;
    uint32_t value;
  } entries[] = {
      {256, kShort, width}, {257, kShort, height}, {258, kShort, 8},
      {259, kShort, 1},     {262, kShort, 1},      {273, kLong, 0},
      {277, kShort, 1},     {278, kShort, height}, {279, kLong, uint32_t(width) * height}};
  const uint32_t pixels_at = 8 + 2 + 12 * std::size(entries) + 4;
  std::string tiff = "II" + le(42, 2) + le(8, 4) + le(std::size(entries), 2);
  for (const auto& e : entries) {
    const uint32_t value = e.tag == 273 ? pixels_at : e.value;
    tiff += le(e.tag, 2) + le(e.type, 2) + le(1, 4) + le(value, 4);
  }
  return tiff + le(0, 4) + std::string(size_t(width) * height, '\xC8');
}

TEST_F(MagickConverterTest, TiffPicturesConvert) {
  folder_.Write("in.png", GreyTiff(3, 2));  // what a picture holds counts, not its name
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
      {huge, "Can not convert picture " + huge +
                 ": it is 20000 x 20000 pixels, more than the 16000 a side and 128 megapixels"},
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

TEST_F(MagickConverterTest, CompressedChunksAreBoundedBeforeImageMagickReadsThem) {
  const std::string small = "\x89PNG\r\n\x1a\n" +
                            Chunk("IHDR", std::string("\0\0\0\x02\0\0\0\x01\x08\x02\0\0\0", 13)) +
                            Chunk("IDAT", Packed(std::string(2 * (1 + 3 * 2), '\0')));
  const std::string large(9 << 20, 'a'), fine(100 << 10, 'a');
  const struct {
    std::string name, chunk, refused;  // "" when the picture converts
  } cases[] = {
      {"ztxt.png", Chunk("zTXt", std::string("Comment\0\0", 9) + Packed(large)), "zTXt"},
      {"itxt.png", Chunk("iTXt", std::string("XML\0\x01\0en\0\0", 10) + Packed(large)), "iTXt"},
      {"iccp.png", Chunk("iCCP", std::string("icc\0\0", 5) + Packed(large)), "iCCP"},
      {"long.png", Chunk("zTXt", std::string(9 << 20, 'x')), "zTXt"},
      {"fine.png", Chunk("zTXt", std::string("Comment\0\0", 9) + Packed(fine)), ""},
      {"plain.png", Chunk("iTXt", std::string("XML\0\0\0en\0\0", 10) + fine), ""},
  };
  for (const auto& c : cases) {
    const std::string source = folder_.Write(c.name, small + c.chunk + Chunk("IEND", "")).string();
    const std::string message = testing::FailureOf([&] {
      converter_.Convert({source, "-strip", Out("out.png")});
    });
    if (c.refused.empty()) {
      EXPECT_EQ(message, "no failure") << c.name;
      EXPECT_EQ(PictureIn(Out("out.png")).width, 2u) << c.name;
    } else {
      EXPECT_EQ(message, "Can not convert picture " + source + ": its " + c.refused +
                             " chunk inflates to more than 8 MB");
      EXPECT_FALSE(fs::exists(Out("out.png"))) << c.name;
    }
    fs::remove(Out("out.png"));
  }
}

// ImageMagick reads "x%d.png" as x0.png and "x[1].png" as x1.png, and would
// write "out%d.png" as out0.png.
TEST_F(MagickConverterTest, FileNamesAreNeverReadAsPatterns) {
  // Made under a plain name: the helper writes through ImageMagick by name.
  const auto make = [&](const std::string& name, size_t width) {
    testing::WritePicture(folder_ / "made.png", width, 1, std::vector<unsigned char>(width * 3));
    fs::rename(folder_ / "made.png", folder_ / name);
  };
  for (const std::string name : {"x0.png", "x1.png", "x01.png", "xa.png"}) make(name, 3);
  for (const std::string name : {"x%d.png", "x[1].png", "x[01].png", "x*.png", "x?.png"}) {
    make(name, 2);
    for (const std::string out : {"out%d.png", "out[1].jpg", "out?.png"}) {
      converter_.Convert({(folder_ / name).string(), "-strip", Out(out)});
      const testing::Picture picture = PictureIn(Out(out));
      EXPECT_EQ(picture.width, 2u) << name << " to " << out;
      EXPECT_EQ(picture.format, out.ends_with(".png") ? "PNG" : "JPEG") << out;
    }
  }
  for (const std::string other : {"out0.png", "out1.jpg", "out.png"}) {
    EXPECT_FALSE(fs::exists(Out(other))) << other;
  }
}

TEST_F(MagickConverterTest, ImageMagickReadsAndWritesOnlyTheFourPictureFormats) {
  const struct {
    PolicyDomain domain;
    PolicyRights rights;
    std::string name;
    bool allowed;
  } cases[] = {
      {CoderPolicyDomain, ReadPolicyRights, "PNG", true},
      {CoderPolicyDomain, WritePolicyRights, "JPEG", true},
      {CoderPolicyDomain, ReadPolicyRights, "GIF", true},
      {CoderPolicyDomain, ReadPolicyRights, "BMP", true},
      {CoderPolicyDomain, ReadPolicyRights, "TXT", false},
      {CoderPolicyDomain, ReadPolicyRights, "MSL", false},
      {CoderPolicyDomain, ReadPolicyRights, "SVG", false},
      {CoderPolicyDomain, ReadPolicyRights, "PDF", false},
      {CoderPolicyDomain, ReadPolicyRights, "BROWSE", false},
      {CoderPolicyDomain, WritePolicyRights, "TIFF", false},
      {DelegatePolicyDomain, ExecutePolicyRights, "doc", false},
      {DelegatePolicyDomain, ExecutePolicyRights, "browse", false},
      {PathPolicyDomain, ReadPolicyRights, "@/etc/passwd", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsRightsAuthorized(c.domain, c.rights, c.name.c_str()) == MagickTrue, c.allowed)
        << c.name;
  }
}

}  // namespace
}  // namespace velkaro
