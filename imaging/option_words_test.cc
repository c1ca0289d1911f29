#include "imaging/option_words.h"

#include <gtest/gtest.h>

#include <sstream>

#include "imaging/magick_converter.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

TEST(OptionWordsTest, OnlyPictureOptionsWithPlainArgumentsPass) {
  const MagickConverter started;  // the option and colour tables
  const std::string kNotAnOption = "only options that change a picture's size";
  const std::string kColour = "its argument must be a colour";
  const std::string kGeometry = "its argument must be a size or geometry";
  const std::string kFile = "it is no option, and would be read as a picture file";
  const std::string kDefine = "only PNG and JPEG packing settings may be defined";
  const struct {
    std::string words;
    std::string refused;  // the message after "ImageMagick option "; "" when allowed
  } cases[] = {
      // Options that read or write other files, draw, or lift the limits.
      {"-write x.png", "-write is not allowed: " + kNotAnOption},
      {"+write x.png", "+write is not allowed: " + kNotAnOption},
      {"-profile x.icc", "-profile is not allowed: " + kNotAnOption},
      {"-draw image", "-draw is not allowed: " + kNotAnOption},
      {"-tile x.png", "-tile is not allowed: " + kNotAnOption},
      {"-texture x.png", "-texture is not allowed: " + kNotAnOption},
      {"-remap x.png", "-remap is not allowed: " + kNotAnOption},
      {"-map x.png", "-map is not allowed: " + kNotAnOption},
      {"-mask x.png", "-mask is not allowed: " + kNotAnOption},
      {"-clip-mask x.png", "-clip-mask is not allowed: " + kNotAnOption},
      {"-cdl x.xml", "-cdl is not allowed: " + kNotAnOption},
      {"-font x.ttf", "-font is not allowed: " + kNotAnOption},
      {"-family Sans", "-family is not allowed: " + kNotAnOption},
      {"-limit memory 10GiB", "-limit is not allowed: " + kNotAnOption},
      {"-process x", "-process is not allowed: " + kNotAnOption},
      {"-log %t", "-log is not allowed: " + kNotAnOption},
      {"-debug All", "-debug is not allowed: " + kNotAnOption},
      {"-list format", "-list is not allowed: " + kNotAnOption},
      {"-clip-path #1", "-clip-path is not allowed: " + kNotAnOption},
      {"-stroke FILE.doc", "-stroke is not allowed: " + kNotAnOption},
      {"-encipher FILE", "-encipher is not allowed: " + kNotAnOption},
      {"+monitor", "+monitor is not allowed: " + kNotAnOption},
      {"-help", "-help is not allowed: " + kNotAnOption},
      {"-label @x", "-label is not allowed: " + kNotAnOption},
      {"-distribute-cache 6668", "-distribute-cache is not allowed: " + kNotAnOption},
      // Words that convert would read as one more picture, through any coder.
      {"msl:x", "msl:x is not allowed: " + kFile},
      {"text:x", "text:x is not allowed: " + kFile},
      {"ephemeral:x.png", "ephemeral:x.png is not allowed: " + kFile},
      {"@list", "@list is not allowed: " + kFile},
      {"x%d.png", "x%d.png is not allowed: " + kFile},
      {"-resize 10x10 /etc/passwd", "/etc/passwd is not allowed: " + kFile},
      // Arguments that name a file, a coder, "@" or a "%" pattern.
      {"-fill FILE.doc", "-fill FILE.doc is not allowed: " + kColour},
      {"-fill browse:x", "-fill browse:x is not allowed: " + kColour},
      {"-fill /etc/passwd", "-fill /etc/passwd is not allowed: " + kColour},
      {"-background nosuchcolour", "-background nosuchcolour is not allowed: " + kColour},
      {"-define registry:temporary-path=/tmp",
       "-define registry:temporary-path=/tmp is not allowed: " + kDefine},
      {"-define jpeg:q-table=x.xml", "-define jpeg:q-table=x.xml is not allowed: " + kDefine},
      {"-define png:format=/x", "-define png:format=/x is not allowed: " + kDefine},
      {"-resize @file", "-resize @file is not allowed: " + kGeometry},
      {"-resize 10000@", "-resize 10000@ is not allowed: " + kGeometry},
      {"-resize x%d", "-resize x%d is not allowed: " + kGeometry},
      {"-quality 9x", "-quality 9x is not allowed: its argument must be a number"},
      {"-colorspace FILE", "-colorspace FILE is not allowed: its argument is none of"},
      {"-colorspace gray:x", "-colorspace gray:x is not allowed: its argument is none of"},
      {"+profile /x", "+profile /x is not allowed: its argument must name profiles"},
      {"-quality 90 -resize", "-resize is not allowed: it needs an argument"},
      // What a book wants done to its pictures.
      {"-resize 160x128> -quality 100 -depth 8", ""},
      {"-resize 50% -rotate -90 -gamma 1.2 -level 10%,90% -modulate 100,120", ""},
      {"-unsharp 0x0.75+0.75+0.008 -sharpen 0x1 -blur 2x1", ""},
      {"-fill red -colorize 30% -background #ffffff -bordercolor rgb(1,2,3) -border 2", ""},
      {"-colorspace Gray -type Grayscale -dither FloydSteinberg -colors 16 -filter Lanczos", ""},
      {"-define jpeg:extent=20kb -define png:bit-depth=8 -interlace Plane", ""},
      {"+profile * -strip -flip -flop -auto-orient -trim +repage -gravity center", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> words = Words(c.words);
    if (c.words.empty()) words = {""};
    const std::string message = testing::FailureOf([&] { CheckOptionWords(words); });
    if (c.refused.empty()) {
      EXPECT_EQ(message, "no failure") << c.words;
    } else {
      EXPECT_EQ(message.rfind("ImageMagick option " + c.refused, 0), 0u) << message;
    }
  }
}

}  // namespace
}  // namespace velkaro
