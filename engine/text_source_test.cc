#include "engine/text_source.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/velkaro.h"
#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

struct Loaded {
  std::u16string text;
  std::string caption;
};

Loaded Load(const std::string& bytes) {
  ScratchFolder folder;
  Loaded loaded;
  loaded.text = LoadPlainText(folder.Write("book.txt", bytes).string(), &loaded.caption);
  return loaded;
}

// The mark decides UTF-8 or UTF-16; without one, the system code page (the
// tests run in a UTF-8 locale, or the C locale read as UTF-8). Line feeds are
// the only control letters kept; malformed files give what they hold.
TEST(LoadPlainTextTest, DecodesByTheMarkOrTheSystemCodePage) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    std::u16string text;
    std::string caption;  // "" when not checked
  } cases[] = {
      {"\xFF\xFEH\0i\0"s, u"Hi", "Unicode , size 6 bytes (2 letters)"},
      {"\xFE\xFF\0H\0i"s, u"Hi", "Unicode (big endian), size 6 bytes (2 letters)"},
      {"\xFF\xFE\x3D\xD8\x00\xDE"s, u"\U0001F600", ""},  // a surrogate pair stays two letters
      // An odd size is never UTF-16: the mark bytes do not decode as UTF-8
      // and the NUL goes with the control letters.
      {"\xFF\xFEH\0i"s, u"\uFFFD\uFFFDHi", "Text , size 5 bytes (4 letters)"},
      {"\xFF\xFE\x01\0A\0"s, u"A", ""},  // two letters decoded, one kept
      {"\xEF\xBB\xBF" "a\xF0\x9F\x98\x80\x80" "b", std::u16string({u'a', 0xF600, u'b'}),
       "UTF8 , size 10 bytes (3 letters)"},
      {"\xEF\xBB\xBF", u"", "UTF8 , size 3 bytes (0 letters)"},
      {"Привет", u"Привет", "Text , size 12 bytes (6 letters)"},
      {"one\r\ntwo\r\n", u"one\ntwo\n", ""},
      {"one\rtwo", u"onetwo", ""},
      {"a\tb\fc\0d\x1F" "e"s, u"abcde", ""},
      {"", u"", "Text , size 0 bytes (0 letters)"},
      {std::string(1000, '\0'), u"", ""},
      {"\xEF\xBB\xBF" "ab\xE2\x82", u"ab", ""},
      {"\xFE\xFF\0a\xD8"s, u"\uFFFD\uFFFDa\uFFFD", ""},  // odd size
      {"\xFE\xFF\0a\xD8\x3D"s, u"a\xD83D", ""},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(c.bytes);
    EXPECT_EQ(loaded.text, c.text) << ::testing::PrintToString(c.bytes);
    if (!c.caption.empty()) {
      EXPECT_EQ(loaded.caption, c.caption);
    }
  }
}

// A file is decoded in the room its letters take, read into the back of it:
// every way of decoding must give what decoding the bytes apart gives, even
// where the letters come nearest to the bytes still unread (all ASCII, pairs
// of letters from four bytes, bytes that each become a replacement letter).
TEST(LoadPlainTextTest, DecodingInTheLettersOwnRoomGivesWhatSeparateBytesGive) {
  const std::string kinds[] = {
      std::string(70000, 'a'),
      "\xF0\x9F\x98\x80\xF0\x9F\x98\x81z",
      std::string(30000, '\xC3') + "\xA9",
      std::string(9000, '\xFF'),
      "\xE2\x82\xAC\xC3\xA9x\xE2\x82",
  };
  for (const std::string& kind : kinds) {
    std::string text;
    while (text.size() < 50000) text += kind;
    for (const std::string& bytes :
         {text, "\xEF\xBB\xBF" + text, "\xFF\xFE" + text.substr(0, text.size() / 2 * 2),
          "\xFE\xFF" + text.substr(0, text.size() / 2 * 2)}) {
      const TextEncoding encoding = DetectEncoding(bytes);
      const std::u16string apart = encoding == TextEncoding::kAnsi
                                       ? DecodeUnmarkedText(bytes, "", nullptr)
                                       : DecodePlainText(bytes, encoding);
      ASSERT_TRUE(Load(bytes).text == apart) << "encoding " << static_cast<int>(encoding) << ", "
                                             << bytes.size() << " bytes of " << kind.substr(0, 8);
    }
  }
}

TEST(LoadPlainTextTest, AMissingFileFailsWithTheInputOutputMessage) {
  ScratchFolder folder;
  try {
    LoadPlainText((folder / "none.txt").string(), nullptr);
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
}

// Every encoding of one book reads to the same letters.
TEST(LoadPlainTextTest, CorpusBooksReadAlikeInEveryEncoding) {
  VELKARO_REQUIRE_CORPUS();
  const auto texts = testing::CorpusFolder() / "texts";
  for (const char* book : {"en_moby_dick_ch1", "ru_pushkin_evgeny_onegin", "ja_tosa_nikki",
                           "zh_tang300", "ar_alkindi_first_philosophy"}) {
    SCOPED_TRACE(book);
    const std::string stem = (texts / book).string();
    const std::u16string plain = LoadPlainText(stem + ".utf8.txt", nullptr);
    EXPECT_GT(plain.size(), 1000u);
    EXPECT_EQ(plain.find(u'\uFFFD'), std::u16string::npos);
    for (const char* encoding : {".utf8bom.txt", ".utf16le.txt", ".utf16be.txt"}) {
      EXPECT_EQ(LoadPlainText(stem + encoding, nullptr), plain) << encoding;
    }
  }
}

// A book without mark that is not valid in the system code page is read in
// the character set its bytes show, and says which.
TEST(LoadPlainTextTest, CorpusBooksInSingleByteCodePagesAreRecognised) {
  VELKARO_REQUIRE_CORPUS();
  const auto texts = testing::CorpusFolder() / "texts";
  for (const auto& [file, book, charset] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"ru_turgenev_otcy_i_deti.cp1251.txt", "ru_turgenev_otcy_i_deti", "WINDOWS-1251"},
           {"ru_turgenev_otcy_i_deti.cp1251_crlf.txt", "ru_turgenev_otcy_i_deti", "WINDOWS-1251"},
           {"ru_pushkin_evgeny_onegin.cp1251.txt", "ru_pushkin_evgeny_onegin", "WINDOWS-1251"},
           {"en_moby_dick_ch1.cp1252.txt", "en_moby_dick_ch1", "WINDOWS-1252"},
           {"ar_alkindi_first_philosophy.cp1256.txt", "ar_alkindi_first_philosophy",
            "WINDOWS-1256"},
       }) {
    SCOPED_TRACE(file);
    std::string used;
    const std::u16string text = LoadPlainText((texts / file).string(), nullptr, "", &used);
    EXPECT_EQ(used, charset);
    EXPECT_EQ(text, LoadPlainText((texts / (book + ".utf8.txt")).string(), nullptr));
  }
}

// The same books in UTF-16 without their marks.
TEST(LoadPlainTextTest, CorpusBooksInUtf16WithoutAMark) {
  VELKARO_REQUIRE_CORPUS();
  ScratchFolder folder;
  const auto texts = testing::CorpusFolder() / "texts";
  for (const char* book : {"en_moby_dick_ch1", "ru_turgenev_otcy_i_deti", "zh_tang300",
                           "ja_tosa_nikki", "ar_alkindi_first_philosophy"}) {
    for (const char* order : {"le", "be"}) {
      SCOPED_TRACE(std::string(book) + order);
      const std::string marked =
          testing::ReadBytes(texts / (std::string(book) + ".utf16" + order + ".txt"));
      std::string used;
      const std::u16string text =
          LoadPlainText(folder.Write("book.txt", marked.substr(2)).string(), nullptr, "", &used);
      EXPECT_EQ(used, std::string("UTF-16") + (order == std::string("le") ? "LE" : "BE"));
      EXPECT_EQ(text, LoadPlainText((texts / (std::string(book) + ".utf8.txt")).string(), nullptr));
    }
  }
}

class CapturedLog : public LogSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class LoadSourceTextTest : public ::testing::Test {
 protected:
  LoadSourceTextTest() { book_.LogView = &log_; }

  ScratchFolder folder_;
  CapturedLog log_;
  TVelkaro book_ = TVelkaro::CreateDefault();
};

// The Encoding setting names the character set of a book without mark; a
// marked book keeps its mark's reading, and only a set other than the system
// code page is logged, as are letters that do not decode.
TEST_F(LoadSourceTextTest, TheEncodingUsedAndLettersLostAreLogged) {
  struct Case {
    std::string bytes;
    std::string encoding;
    std::u16string text;
    std::vector<std::string> log;
  };
  const std::string dom_cp1251 = "\xC4\xEE\xEC";  // Дом
  for (const Case& c : std::vector<Case>{
           {dom_cp1251, "windows-1251", u"\u0414\u043E\u043C ", {"Text encoding: windows-1251"}},
           {dom_cp1251, "KOI8-R", u"\u0434\u041D\u041B ", {"Text encoding: KOI8-R"}},
           {"\xEF\xBB\xBF\xD0\x94", "KOI8-R", u"\u0414 ", {}},
           {"plain\r\n", "", u"plain\n ", {}},
           {"\xD0\x94\xD0\xBE\xD0\xBC", "", u"\u0414\u043E\u043C ", {}},
           // Vietnamese: the converter holds the last letter back for a tone mark.
           {"Vi\xD2\xEAt", "CP1258", u"V\u1EC9\u00EAt ", {"Text encoding: CP1258"}},
           {"ab\xE0", "CP1258", u"ab\u00E0 ", {"Text encoding: CP1258"}},
           // UTF-16 without mark, told by its NUL bytes.
           {std::string("H\0i\0\n\0\x14\x04", 8), "", u"Hi\n\u0414 ", {"Text encoding: UTF-16LE"}},
           {std::string("\0H\0i\0\n\x04\x14", 8), "", u"Hi\n\u0414 ", {"Text encoding: UTF-16BE"}},
           // A UTF-8 book with a line in cp1251 that no one set reads whole.
           {"\xD0\x94\xD0\xBE\xD0\xBC\n\xD0\x94\n\xC4\xEE\xEC \xD0\x94",
            "",
            u"\u0414\u043E\u043C\n\u0414\n\uFFFD\uFFFD\uFFFD \u0414 ",
            {"3 letters could not be decoded (first at line 3)"}},
           {"abc\x98",
            "windows-1251",
            u"abc\uFFFD ",
            {"Text encoding: windows-1251", "1 letters could not be decoded (first at line 1)"}},
       }) {
    SCOPED_TRACE(c.encoding);
    log_.lines.clear();
    book_.Encoding = c.encoding;
    EXPECT_EQ(book_.LoadSourceText(folder_.Write("book.txt", c.bytes).string(), "", nullptr),
              c.text);
    EXPECT_EQ(log_.lines, c.log);
  }
}

TEST_F(LoadSourceTextTest, JoinLinesJoinsAWrappedParagraph) {
  const std::string line(60, 'a');
  const std::string path = folder_.Write("book.txt", line + "\n" + line + "\nend").string();
  EXPECT_EQ(book_.LoadSourceText(path, "", nullptr).find(u'\n'), 60u);
  book_.JoinLines = true;
  EXPECT_EQ(book_.LoadSourceText(path, "", nullptr).find(u'\n'), std::u16string::npos);
}

TEST_F(LoadSourceTextTest, AnUnknownEncodingStopsTheLoad) {
  book_.Encoding = "no-such-set";
  const std::string path = folder_.Write("book.txt", "abc").string();
  try {
    book_.LoadSourceText(path, "", nullptr);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Can not load text from file " + path + ", error: Unknown text encoding no-such-set");
  }
}

TEST_F(LoadSourceTextTest, PlainTextEndsWithOneAddedBlank) {
  const std::string name = folder_.Write("BOOK.TXT", "Hi\r\n").string();
  std::string caption;
  EXPECT_EQ(book_.LoadSourceText(name, "", &caption), u"Hi\n ");
  EXPECT_TRUE(book_.SourceIsPlainText);
  EXPECT_EQ(caption, "Text , size 4 bytes (3 letters)");
  EXPECT_EQ(book_.LoadSourceText(folder_.Write("empty.txt", "").string(), "", nullptr), u" ");
}

TEST_F(LoadSourceTextTest, FailuresNameTheFileAsGiven) {
  const std::string path = (folder_ / "missing.txt").string();
  try {
    book_.LoadSourceText(path, "", nullptr);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Can not load text from file " + path + ", error: File not found");
  }
}

}  // namespace
}  // namespace velkaro
