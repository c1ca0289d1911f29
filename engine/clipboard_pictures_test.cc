#include <gtest/gtest.h>

#include "engine/velkaro.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

class CapturedLog : public LogSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

PictureFormat Format(const std::string& name, size_t size, char fill = 'x') {
  return {name, std::string(size, fill)};
}

TEST(ClipboardPicturesTest, ChoosesTheFormatTheModeAsksFor) {
  const struct {
    std::string what;
    int mode, bound;
    PictureSource clipboard;
    std::string saved;  // file name, or empty
    std::vector<std::string> log;
    char fill = 'x';  // of the saved data
  } cases[] = {
      {"mode 1 keeps the smaller",
       1,
       10000,
       {Format("PNG", 5000), Format("JFIF", 4000)},
       "tmp7.jpg",
       {"Image 7.jpg saved (4000 bytes)"}},
      {"mode 1, a tie goes to the later",
       1,
       10000,
       {Format("PNG", 300, 'a'), Format(" Png ", 300, 'b')},
       "tmp7.png",
       {"Image 7.png saved (300 bytes)"},
       'b'},
      {"mode 2 at the bound",
       2,
       300,
       {Format("PNG", 300)},
       "",
       {"Can't save image (png) - size is too large (300 bytes)"}},
      {"no bound in the project rejects all",
       3,
       0,
       {Format("JFIF", 1)},
       "",
       {"Can't save image (jfif) - size is too large (1 bytes)"}},
      {"mode 2 keeps the larger below the bound",
       2,
       1000,
       {Format("PNG", 100), Format("PNG+", 999, 'c'), Format("JFIF", 500)},
       "tmp7.png",
       {"Image 7.png saved (999 bytes)"},
       'c'},
      {"mode 3 takes JPEG only",
       3,
       1000,
       {Format("PNG", 10), Format("JFIF", 20, 'j')},
       "tmp7.jpg",
       {"Image 7.jpg saved (20 bytes)"},
       'j'},
      {"modes 4 to 6 take no JPEG",
       5,
       0,
       {Format("JFIF", 10), Format("GIF", 10)},
       "",
       {"Can't find picture with supported format"}},
      {"modes 4 to 6 have no bound",
       6,
       0,
       {Format("PNG", 70000), Format("PNG", 20)},
       "tmp7.png",
       {"Image 7.png saved (70000 bytes)"}},
      {"formats without a name are never candidates",
       1,
       100,
       {Format("", 10), Format("DIB", 10)},
       "",
       {"Can't find picture with supported format"}},
  };
  for (const auto& c : cases) {
    testing::ScratchFolder folder;
    TVelkaro book = TVelkaro::CreateDefault();
    CapturedLog log;
    book.LogView = &log;
    book.ImageMode = c.mode;
    book.ImageSize = c.bound;
    const std::string path = book.SaveClipboardPicture(c.clipboard, folder.path().string(), 7);
    EXPECT_EQ(log.lines, c.log) << c.what;
    if (c.saved.empty()) {
      EXPECT_EQ(path, "") << c.what;
      EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << c.what;
    } else {
      EXPECT_EQ(path, (folder / c.saved).string()) << c.what;
      const std::string bytes = testing::ReadBytes(path);
      EXPECT_EQ(bytes.find_first_not_of(c.fill), std::string::npos) << c.what;
    }
  }
}

}  // namespace
}  // namespace velkaro
