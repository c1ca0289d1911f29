#include "engine/config_file.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

std::string Int(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string Text(std::u16string_view text) {
  std::string bytes = Int(static_cast<uint32_t>(text.size()));
  for (char16_t u : text) bytes += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  return bytes;
}

TVelkaro TextBook() {
  TVelkaro book = TVelkaro::CreateDefault();
  book.BookMode = true;
  book.FileVersion = "4.7.0.246";
  book.Font.reset();
  return book;
}

TEST(ConfigFileTest, TextBookItemsInOrder) {
  TVelkaro book = TextBook();
  book.LineSpacing = -1;
  book.CharSpacing = 1;
  book.WordWrap = true;
  book.BackColor = 0xFFFFFF;
  book.FontColor = 0x000080;  // dark red
  book.PasswordMode = 2;
  std::string cfg = TextBookConfig(book, 0, 1234, {0x0101, 0x2002}, "4.7.0");

  std::string info = Text(u"");
  std::string font = Text(u"Phone font");
  std::string tool = Text(u"Velkaro 4.7.0.246");
  std::string expected = Int(1234) + Int(0xFFFFFFFF) + Int(1) + Int(1) + Int(0) + Int(255) +
                         Int(255) + Int(255) + Int(128) + Int(0) + Int(0) + info + font + tool +
                         Text(u"4.7.0");
  ASSERT_GE(cfg.size(), expected.size() + 16);
  EXPECT_EQ(cfg.substr(0, expected.size()), expected);
  EXPECT_EQ(cfg.substr(expected.size() + 4), Int(2) + Int(2) + Int(0x0101) + Int(0x2002));
  // Size: 44 + the four texts + 12 + 4 per heading.
  EXPECT_EQ(cfg.size(), 44 + info.size() + font.size() + tool.size() + 4 + 10 + 12 + 8);
}

TEST(ConfigFileTest, DesktopFontIsDescribedByFaceAndSize) {
  TVelkaro book = TextBook();
  book.Font = DesktopFont{"DejaVu Sans", 12, true, false};
  EXPECT_EQ(FontDescription(book), u"DejaVu Sans, 12");
}

TEST(ConfigFileTest, CyrillicInfoBecomesUtf16Units) {
  TVelkaro book = TextBook();
  book.BookInfo = "\xD0\x90";  // CYRILLIC CAPITAL LETTER A in the UTF-8 locale
  std::string cfg = TextBookConfig(book, 0, 1, {}, "4.7.0");
  EXPECT_EQ(cfg.substr(44, 6), Int(1) + std::string("\x04\x10", 2));
}

TEST(ConfigFileTest, PartsDifferOnlyInTheirLength) {
  TVelkaro book = TextBook();
  std::string first = TextBookConfig(book, 0, 100, {5}, "4.7.0");
  std::string second = TextBookConfig(book, 0, 77, {5}, "4.7.0");
  EXPECT_EQ(first.substr(4), second.substr(4));
  EXPECT_NE(first, second);
}

TEST(ConfigFileTest, PasswordCheckValue) {
  // Worked out once from h = 2h XOR ((u_k XOR p XOR (k - 1)) AND 0xFFFF), k = 1 to 16.
  const std::u16string sixteen(16, u'\xFFFF');
  const struct {
    std::u16string text;
    int32_t password;
    int32_t value;
  } cases[] = {
      {u"", 0, 2295},
      {u"A", 0, 2132215},
      {u"Book", 1, 3237640},
      {u"Book", 2, 3172105},
      {u"Book", 0x2345, 519210548},
      {u"Book", 0x12345, 519210548},  // only the low 16 bits of the password count
      {sixteen, 7, 1431806559},
      {sixteen + u"font", 7, 1431806559},  // only the first 16 units count
      {sixteen, -1, 2295},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PasswordCheckValue(c.text, c.password), c.value)
        << c.text.size() << " units, password " << c.password;
  }
}

TEST(ConfigFileTest, PhotoBookListsExtensionsAndNotes) {
  TVelkaro book = TVelkaro::CreateDefault();
  book.BookInfo = "Hi";
  book.BackColor = 0x102030;
  book.ImageFiles = {"a/b.jpg", "c.JPEG", "noextension"};
  book.ImageNotes = {"note", "", ""};
  std::string cfg = PhotoBookConfig(book, {"jpg", "JPEG", "noextension"}, "4.7.0");
  std::string expected = Int(3) + Int(0x30) + Int(0x20) + Int(0x10) + Text(u"Hi") + Text(u"4.7.0") +
                         Text(u"jpg") + Text(u"note") + Text(u"JPEG") + Text(u"") +
                         Text(u"noextension") + Text(u"");
  EXPECT_EQ(cfg, expected);
}

}  // namespace
}  // namespace velkaro
