// The window's phone-screen preview against the phone itself: a book built by
// TVelkaro::Build is opened by the real reader on the desktop stand-in of the
// phone, whose first page must equal the preview pixel for pixel.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/phone_preview.h"
#include "engine/velkaro.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

// Paragraphs, long words, punctuation at line ends, a combining mark (drawn
// after a space), Cyrillic and an Arabic line.
constexpr char kText[] =
    "\xEF\xBB\xBF"
    "The lamp of Gull Island burned every night, whatever the weather: fog, rain or the long "
    "autumn gales. Its keeper, old Tomas, climbed the ninety-seven steps twice a day; never "
    "once, in thirty-one years, had the light gone out!\n"
    "Supercalifragilisticexpialidociousness and extraordinarily-long-hyphenated-compounds "
    "test the cutting of words.\n"
    "Cafe\xCC\x81 au lait? \xD0\x9C\xD0\xBE\xD1\x80\xD0\xB5 \xD0\xB8 "
    "\xD1\x87\xD0\xB0\xD0\xB9\xD0\xBA\xD0\xB8, \xD0\xB2\xD0\xB5\xD1\x82\xD0\xB5\xD1\x80.\n"
    "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84\xD8\xB9\xD8\xA7\xD9\x84"
    "\xD9\x85\n"
    "In the morning the boats came back, and the keeper counted them, one, two, three, until "
    "the last one rounded the point; then he slept. The island was quiet, the gulls were "
    "loud, and the sea, as always, had the last word. "
    "Nobody on the mainland knew his name, yet everybody knew his light.\n";

struct Screen {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

Screen ReadPpm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int max_value = 0;
  Screen screen;
  in >> magic >> screen.width >> screen.height >> max_value;
  in.get();
  for (int i = 0; in && i < screen.width * screen.height; ++i) {
    const int r = in.get(), g = in.get(), b = in.get();
    screen.pixels.push_back(static_cast<uint32_t>(r << 16 | g << 8 | b));
  }
  return screen;
}

struct PhoneCase {
  const char* name;
  int phone_width;  // the phone's own screen, held upright
  int phone_height;
  bool portrait;
  int line_spacing;
  int char_spacing;
  bool wrap;
  int32_t text_color;  // 0x00BBGGRR
  int32_t back_color;
};

class PreviewPhoneTest : public ::testing::Test {
 protected:
  void SetUp() override {
#if !defined(VELKARO_JAVA) || !defined(VELKARO_MIDLET_TEST_CLASSES)
    GTEST_SKIP() << "no Java runtime or phone stand-in in this build";
#endif
  }

  // Builds the book and returns its package.
  fs::path BuildBook(const PhoneCase& c, const fs::path& source) {
    TVelkaro book = TVelkaro::CreateDefault();
    book.BookName = c.name;
    book.BookMode = true;
    book.TextFileName = source.string();
    book.PartSize = 100000;
    book.LineSpacing = c.line_spacing;
    book.CharSpacing = c.char_spacing;
    book.WordWrap = c.wrap;
    book.PortraitLayout = c.portrait;
    book.FontColor = c.text_color;
    book.BackColor = c.back_color;
    book.Font = DesktopFont{"DejaVu Sans", 8};
    book.FileVersion = "4.7.0.246";
    book.MidletsFolder = (root_ / "midlets").string();
    book.TempFolder = (root_ / "temp").string();
    book.RunMode = 1;
    fs::create_directories(book.MidletsFolder);
    std::string error;
    EXPECT_TRUE(book.Build(&error)) << error;
    return root_ / "midlets" / (std::string(c.name) + ".jar");
  }

  // The page as the reader draws it on the stand-in phone.
  Screen PhoneScreen(const PhoneCase& c, const fs::path& package) {
#if defined(VELKARO_JAVA) && defined(VELKARO_MIDLET_TEST_CLASSES)
    const fs::path out = root_ / (std::string(c.name) + ".ppm");
    std::ostringstream command;
    command << '"' << VELKARO_JAVA << "\" -Djava.awt.headless=true -cp \""
            << VELKARO_MIDLET_TEST_CLASSES << "\" midlettest.FirstPage \"" << package.string()
            << "\" " << c.phone_width << ' ' << c.phone_height << " \"" << out.string() << '"';
    EXPECT_EQ(std::system(command.str().c_str()), 0) << command.str();
    return ReadPpm(out);
#else
    return {};
#endif
  }

  testing::ScratchFolder root_;
};

TEST_F(PreviewPhoneTest, PreviewEqualsTheReadersFirstPage) {
  const PhoneCase cases[] = {
      {"Small", 128, 160, true, 0, 0, true, 0x000000, 0xFFFFFF},
      {"SmallTurned", 128, 160, false, 0, 0, true, 0x000000, 0xFFFFFF},
      {"Middle", 176, 208, true, 0, 0, true, 0x000000, 0xFFFFFF},
      {"MiddleTurned", 176, 208, false, 0, 0, true, 0x000000, 0xFFFFFF},
      {"Large", 240, 320, true, 0, 0, true, 0x000000, 0xFFFFFF},
      {"LargeTurned", 240, 320, false, 0, 0, true, 0x000000, 0xFFFFFF},
      {"Spaced", 240, 320, true, 1, 1, true, 0x204080, 0xC0F0FF},
      {"Tight", 176, 208, true, -1, -1, true, 0xFFFFFF, 0x400000},
      {"TightTurnedNoWrap", 128, 160, false, -1, 1, false, 0x0000FF, 0x00FFFF},
  };
  const fs::path source = root_.Write("book.txt", kText);
  for (const PhoneCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Screen phone = PhoneScreen(c, BuildBook(c, source));
    ASSERT_EQ(phone.pixels.size(), static_cast<size_t>(c.phone_width) * c.phone_height);

    TVelkaro loader = TVelkaro::CreateDefault();
    std::string caption;
    PreviewSettings settings;
    settings.width = c.portrait ? c.phone_width : c.phone_height;
    settings.height = c.portrait ? c.phone_height : c.phone_width;
    settings.font = DesktopFont{"DejaVu Sans", 8};
    settings.text_color = c.text_color;
    settings.back_color = c.back_color;
    settings.line_spacing = c.line_spacing;
    settings.char_spacing = c.char_spacing;
    settings.wrap = c.wrap;
    const PreviewScreen preview = RenderPreviewScreen(
        settings, loader.LoadSourceText(source.string(), root_.path().string(), &caption));

    // A landscape page runs down the phone's screen, its top at the right.
    int differing = 0;
    std::string first_difference;
    for (int y = 0; y < preview.height; ++y) {
      for (int x = 0; x < preview.width; ++x) {
        const int px = c.portrait ? x : phone.width - 1 - y;
        const int py = c.portrait ? y : x;
        const uint32_t want = phone.pixels[static_cast<size_t>(py) * phone.width + px];
        const uint32_t got = preview.pixels[static_cast<size_t>(y) * preview.width + x];
        if (want != got && differing++ == 0) {
          std::ostringstream where;
          where << "(" << x << ", " << y << "): phone " << std::hex << want << ", preview " << got;
          first_difference = where.str();
        }
      }
    }
    EXPECT_EQ(differing, 0) << "first at " << first_difference;
  }
}

}  // namespace
}  // namespace velkaro
