#include "documents/fb2_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/base64.h"
#include "platform/code_page.h"
#include "platform/io_error.h"
#include "tests/docx_maker.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

// "iVBORw0KGgo=" is the eight-byte PNG signature.
constexpr const char* kPngBinary =
    "<binary id=\"a.png\" content-type=\"image/png\">iVBOR\nw0KGgo=</binary>";

std::string Book(const std::string& bodies, const std::string& encoding = "UTF-8",
                 const std::string& description = "") {
  return "<?xml version=\"1.0\" encoding=\"" + encoding +
         "\"?>\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
         "xmlns:l=\"http://www.w3.org/1999/xlink\"><description>" +
         description + "</description>" + bodies + kPngBinary + "</FictionBook>";
}

struct Line {
  int heading;
  std::u16string text;
  size_t pictures;
  bool operator==(const Line&) const = default;
  friend void PrintTo(const Line& line, std::ostream* out) {
    *out << line.heading << " " << ::testing::PrintToString(line.text) << " " << line.pictures;
  }
};

std::vector<Line> Lines(const Document& document) {
  std::vector<Line> lines;
  for (const Paragraph& p : document.paragraphs) {
    lines.push_back({p.heading, p.text, p.pictures.size()});
  }
  return lines;
}

TEST(Fb2ReaderTest, SectionsTitlesAndPictures) {
  struct Case {
    std::string name;
    std::string bodies;
    std::vector<Line> lines;
    std::string description = "";
  };
  const std::string cover =
      "<title-info><coverpage><image l:href=\"#a.png\"/></coverpage></title-info>";
  const Case cases[] = {
      {"nested sections: parts, chapters, deeper",
       "<body><title><p>Book</p></title><section><title><p>Part</p><p>One</p></title>"
       "<section><title><p>Chapter</p></title><p>text <emphasis>here</emphasis></p>"
       "<section><title><p>Deep</p></title><empty-line/><p>x</p></section></section></section>"
       "</body>",
       {{1, u"Book\r", false},
        {1, u"Part One\r", false},
        {2, u"Chapter\r", false},
        {0, u"text here\r", false},
        {3, u"Deep\r", false},
        {0, u"x\r", false}}},
      {"flat sections are chapters",
       "<body><section><title><p>I</p></title><p>a</p></section>"
       "<section><title><p>II</p></title><poem><title><p>Song</p></title><stanza><v>la</v>"
       "</stanza></poem></section></body>",
       {{2, u"I\r", false},
        {0, u"a\r", false},
        {2, u"II\r", false},
        {0, u"Song\r", false},
        {0, u"la\r", false}}},
      {"sections exactly two titled levels deep: parts and chapters",
       "<body><section><title><p>A</p></title><section><title><p>a</p></title><p>x</p>"
       "<section><p>untitled</p></section></section></section></body>",
       {{1, u"A\r", 0}, {2, u"a\r", 0}, {0, u"x\r", 0}, {0, u"untitled\r", 0}}},
      {"notes after the bodies, each after a blank line; links to them bracketed",
       "<body><section><p>main<a l:href=\"#n1\" type=\"note\">1</a></p></section></body>"
       "<body name=\"notes\"><title><p>Notes</p></title><section id=\"n1\"><title><p>1</p>"
       "</title><p>note</p></section><section id=\"n2\"><p>two</p></section></body>",
       {{0, u"main[1]\r", 0},
        {0, u"Notes\r", 0},
        {0, u"\r", 0},
        {0, u"1\r", 0},
        {0, u"note\r", 0},
        {0, u"\r", 0},
        {0, u"two\r", 0}}},
      {"pictures: block, inline, missing",
       "<body><section><image l:href=\"#a.png\"/><p>in <image l:href=\"#a.png\"/>line</p>"
       "<p><image l:href=\"#gone.png\"/>gone</p></section></body>",
       {{0, u"\r", 1}, {0, u"in line\r", 1}, {0, u"gone\r", 0}}},
      {"the cover first",
       "<body><section><p>text</p></section></body>",
       {{0, u"\r", 1}, {0, u"text\r", 0}},
       cover},
      {"a cover that is the book's first picture comes once",
       "<body><section><p>text</p><image l:href=\"#a.png\"/></section></body>",
       {{0, u"text\r", 0}, {0, u"\r", 1}},
       cover},
      {"a paragraph inside a paragraph",
       "<body><section><p>a<p>b</p>c</p></section></body>",
       {{0, u"a\r", 0}, {0, u"b\r", 0}, {0, u"c\r", 0}}},
  };
  testing::ScratchFolder folder;
  for (const Case& c : cases) {
    const auto path = folder.Write("book.fb2", Book(c.bodies, "UTF-8", c.description));
    EXPECT_EQ(Lines(ReadFb2(path.string(), {})), c.lines) << c.name;
  }
}

// The declaration's encoding is honoured in either quotes, zipped or not.
TEST(Fb2ReaderTest, DeclaredEncodingAndZippedBooks) {
  testing::ScratchFolder folder;
  const std::string book =
      Book("<body><section><p>Привет, мир</p></section></body>", "windows-1251");
  const auto cp1251 = folder.Write("ru.fb2", ConvertCharset(book, "UTF-8", "CP1251"));
  std::string single_quoted = book;
  single_quoted.replace(0, book.find("?>"), "<?xml version='1.0' encoding='windows-1251'");
  const auto quoted = folder.Write("quoted.fb2", ConvertCharset(single_quoted, "UTF-8", "CP1251"));
  testing::WriteZip(folder / "ru.fb2.zip", {{"Book.FB2", testing::ReadBytes(cp1251)}});
  for (const auto& path : {cp1251, quoted, folder / "ru.fb2.zip"}) {
    const Document document = ReadFb2(path.string(), {});
    ASSERT_EQ(document.paragraphs.size(), 1u) << path;
    EXPECT_EQ(document.paragraphs[0].text, u"Привет, мир\r") << path;
  }
}

TEST(Fb2ReaderTest, PictureBytesFromBase64) {
  testing::ScratchFolder folder;
  const auto path =
      folder.Write("book.fb2", Book("<body><section><image l:href=\"#a.png\"/></section></body>"));
  const PictureSource png = {{"PNG", "\x89PNG\r\n\x1A\n"}};
  EXPECT_EQ(ReadFb2(path.string(), {}).paragraphs[0].pictures, std::vector<PictureSource>{png});
  EXPECT_EQ(ReadFb2(path.string(), {.picture_bytes = false}).paragraphs[0].pictures,
            std::vector<PictureSource>(1));
}

// Damaged picture data is read leniently or left out with a warning; it
// never fails the book.
TEST(Fb2ReaderTest, DamagedPicturesAreLeftOut) {
  testing::ScratchFolder folder;
  const auto path = folder.Write(
      "book.fb2", Book("<body><section><image l:href=\"#b\"/><p>text</p><image l:href=\"#c\"/>"
                       "</section></body><binary id=\"b\">iVB!ORw0</binary>"
                       "<binary id=\"c\">iVBORw0KGgo=\n=\n==\n</binary>"));
  const Document document = ReadFb2(path.string(), {});
  const std::vector<Line> lines = {{0, u"text\r", 0}, {0, u"\r", 1}};
  EXPECT_EQ(Lines(document), lines);
  EXPECT_EQ(document.warnings, std::vector<std::string>{"Picture b is not valid base64, left out"});
}

TEST(Fb2ReaderTest, Base64) {
  struct Case {
    std::string text;
    std::string bytes;  // "!" for a failure
  };
  const Case cases[] = {
      {"", ""},
      {"TWFu", "Man"},
      {"TWE=", "Ma"},
      {"TQ==", "M"},
      {" T W\nFu\r\n", "Man"},
      {"/+8A", std::string("\xFF\xEF\0", 3)},
      // Careless books: padding missing or doubled, lines of "=".
      {"TWF", "Ma"},
      {"TQ==TWFu", "MMan"},
      {"=TWF", "Ma"},
      {"TQ===", "M"},
      {"TWFu\n=\n==\n", "Man"},
      // Damage: letters outside the alphabet, a group of one letter.
      {"T!Fu", "!"},
      {"TW=u", "!"},
      {"TWFuT", "!"},
  };
  for (const Case& c : cases) {
    if (c.bytes == "!") {
      EXPECT_THROW(DecodeBase64(c.text), Error) << c.text;
    } else {
      EXPECT_EQ(DecodeBase64(c.text), std::string(c.bytes.data(), c.bytes.size())) << c.text;
    }
  }
}

TEST(Fb2ReaderTest, BrokenBooksFail) {
  struct Case {
    std::string name;
    std::string bytes;
  };
  const Case cases[] = {
      {"malformed XML", Book("<body><section><p>open</section></body>")},
      {"entity declarations",
       "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY x \"xx\">]><FictionBook>"
       "<body><p>&x;</p></body></FictionBook>"},
      {"no FictionBook", "<html/>"},
  };
  testing::ScratchFolder folder;
  for (const Case& c : cases) {
    const auto path = folder.Write("book.fb2", c.bytes);
    EXPECT_THROW(ReadFb2(path.string(), {}), Error) << c.name;
  }
  testing::WriteZip(folder / "empty.fb2.zip", {{"readme.txt", "x"}});
  EXPECT_THROW(ReadFb2((folder / "empty.fb2.zip").string(), {}), Error);
}

}  // namespace
}  // namespace velkaro
