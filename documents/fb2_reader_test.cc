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

std::string Book(const std::string& bodies, const std::string& encoding = "UTF-8") {
  return "<?xml version=\"1.0\" encoding=\"" + encoding +
         "\"?>\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
         "xmlns:l=\"http://www.w3.org/1999/xlink\"><description/>" +
         bodies + kPngBinary + "</FictionBook>";
}

struct Line {
  int heading;
  std::u16string text;
  bool picture;
  bool operator==(const Line&) const = default;
};

std::vector<Line> Lines(const Document& document) {
  std::vector<Line> lines;
  for (const Paragraph& p : document.paragraphs) {
    lines.push_back({p.heading, p.text, p.picture.has_value()});
  }
  return lines;
}

TEST(Fb2ReaderTest, SectionsTitlesAndPictures) {
  struct Case {
    std::string name;
    std::string bodies;
    std::vector<Line> lines;
  };
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
      {"notes bodies left out",
       "<body><section><p>main<a l:href=\"#n1\" type=\"note\">1</a></p></section></body>"
       "<body name=\"notes\"><section id=\"n1\"><p>note</p></section></body>",
       {{0, u"main1\r", false}}},
      {"pictures: block, inline, missing",
       "<body><section><image l:href=\"#a.png\"/><p>in <image l:href=\"#a.png\"/>line</p>"
       "<p><image l:href=\"#gone.png\"/>gone</p></section></body>",
       {{0, u"\r", true}, {0, u"in line\r", true}, {0, u"gone\r", false}}},
      {"a paragraph inside a paragraph",
       "<body><section><p>a<p>b</p>c</p></section></body>",
       {{0, u"a\r", false}, {0, u"b\r", false}, {0, u"c\r", false}}},
  };
  testing::ScratchFolder folder;
  for (const Case& c : cases) {
    const auto path = folder.Write("book.fb2", Book(c.bodies));
    EXPECT_EQ(Lines(ReadFb2(path.string(), {})), c.lines) << c.name;
  }
}

TEST(Fb2ReaderTest, DeclaredEncodingAndZippedBooks) {
  testing::ScratchFolder folder;
  const std::string book =
      Book("<body><section><p>Привет, мир</p></section></body>", "windows-1251");
  const auto cp1251 = folder.Write("ru.fb2", ConvertCharset(book, "UTF-8", "CP1251"));
  testing::WriteZip(folder / "ru.fb2.zip", {{"Book.FB2", testing::ReadBytes(cp1251)}});
  for (const auto& path : {cp1251, folder / "ru.fb2.zip"}) {
    const Document document = ReadFb2(path.string(), {});
    ASSERT_EQ(document.paragraphs.size(), 1u) << path;
    EXPECT_EQ(document.paragraphs[0].text, u"Привет, мир\r") << path;
  }
}

TEST(Fb2ReaderTest, PictureBytesFromBase64) {
  testing::ScratchFolder folder;
  const auto path =
      folder.Write("book.fb2", Book("<body><section><image l:href=\"#a.png\"/></section></body>"));
  EXPECT_EQ(ReadFb2(path.string(), {}).paragraphs[0].picture,
            (PictureSource{{"PNG", "\x89PNG\r\n\x1A\n"}}));
  EXPECT_EQ(ReadFb2(path.string(), {.picture_bytes = false}).paragraphs[0].picture,
            PictureSource{});
}

TEST(Fb2ReaderTest, Base64) {
  struct Case {
    std::string text;
    std::string bytes;  // "!" for a failure
  };
  const Case cases[] = {
      {"", ""},      {"TWFu", "Man"},         {"TWE=", "Ma"},
      {"TQ==", "M"}, {" T W\nFu\r\n", "Man"}, {"TWF", "!"},
      {"TW=u", "!"}, {"TQ==TWFu", "!"},       {"T!Fu", "!"},
      {"=TWF", "!"}, {"TQ===", "!"},          {"/+8A", std::string("\xFF\xEF\0", 3)},
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
      {"invalid base64", Book("<body><section><image l:href=\"#b\"/></section></body>"
                              "<binary id=\"b\">iVB!ORw0</binary>")},
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
