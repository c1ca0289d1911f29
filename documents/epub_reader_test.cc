#include "documents/epub_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/io_error.h"
#include "tests/docx_maker.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using Parts = std::vector<std::pair<std::string, std::string>>;

std::string Page(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
         "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\">"
         "<head><title>t</title><style>p{}</style></head><body>" +
         body + "</body></html>";
}

// A book of pages p1.xhtml, p2.xhtml, ... under OEBPS/, with a contents
// page when `nav` (the inside of its <nav>) is given, and extra parts.
void WriteEpub(const std::filesystem::path& path, const std::vector<std::string>& bodies,
               const std::string& nav = "", Parts extra = {}) {
  std::string manifest;
  std::string spine;
  Parts parts = {{"mimetype", "application/epub+zip"},
                 {"META-INF/container.xml",
                  "<container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                  "<rootfile full-path=\"OEBPS/content.opf\" "
                  "media-type=\"application/oebps-package+xml\"/></rootfiles></container>"}};
  for (size_t i = 0; i < bodies.size(); ++i) {
    const std::string name = "p" + std::to_string(i + 1);
    manifest += "<item id=\"" + name + "\" href=\"" + name +
                ".xhtml\" media-type=\"application/xhtml+xml\"/>";
    spine += "<itemref idref=\"" + name + "\"/>";
    parts.emplace_back("OEBPS/" + name + ".xhtml", Page(bodies[i]));
  }
  if (!nav.empty()) {
    manifest +=
        "<item id=\"nav\" href=\"nav.xhtml\" properties=\"nav\" "
        "media-type=\"application/xhtml+xml\"/>";
    spine += "<itemref idref=\"nav\"/>";
    parts.emplace_back("OEBPS/nav.xhtml", Page("<nav epub:type=\"toc\">" + nav + "</nav>"));
  }
  for (auto& part : extra) {
    const auto same = std::find_if(parts.begin(), parts.end(),
                                   [&](const auto& p) { return p.first == part.first; });
    if (part.first == "manifest:") {
      manifest += part.second;
    } else if (same != parts.end()) {
      same->second = part.second;
    } else {
      parts.push_back(std::move(part));
    }
  }
  parts.emplace_back("OEBPS/content.opf",
                     "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\"><manifest>" +
                         manifest + "</manifest><spine>" + spine + "</spine></package>");
  testing::WriteZip(path, parts);
}

std::vector<std::u16string> Texts(const Document& document) {
  std::vector<std::u16string> texts;
  for (const Paragraph& paragraph : document.paragraphs) texts.push_back(paragraph.text);
  return texts;
}

TEST(EpubReaderTest, TextAsAReaderSeesIt) {
  struct Case {
    std::string body;
    std::vector<std::u16string> paragraphs;
  };
  const Case cases[] = {
      {"<p>Hello   <em>big</em>\n  world </p>", {u"Hello big world\r"}},
      {"<p><b>a</b> <i>b</i></p>", {u"a b\r"}},
      {"<p>a&nbsp;b &mdash; &amp;nbsp; &#x41;&#66;</p>", {u"a\u00A0b \u2014 &nbsp; AB\r"}},
      {"<p>one<br/>two<br/></p>", {u"one\ntwo\r"}},
      {"<script>x</script><p hidden=\"\">h</p><div style=\"display: none\">n</div><p>seen</p>",
       {u"seen\r"}},
      {"<div>lead<p>inner</p>tail</div>", {u"lead\r", u"inner\r", u"tail\r"}},
      {"<ul><li>one</li><li>two</li></ul><table><tr><td>c</td></tr></table>",
       {u"one\r", u"two\r", u"c\r"}},
      {"<pre>a\n  b</pre>", {u"a\n  b\r"}},
      {"<p></p><p> <a id=\"x\"/> </p>", {}},
      {"<p><![CDATA[x < y & z]]>!<!-- & --></p>", {u"x < y & z!\r"}},
      {"<ol start=\"3\"><li>c</li><li><p>d</p></li></ol><ol type=\"i\"><li>x</li>"
       "<li value=\"5\">y<ul><li>z</li></ul></li></ol><ol reversed=\"\" start=\"2\"><li>a</li>"
       "<li>b</li></ol>",
       {u"3. c\r", u"4. d\r", u"i. x\r", u"v. y\r", u"z\r", u"2. a\r", u"1. b\r"}},
  };
  testing::ScratchFolder folder;
  for (const Case& c : cases) {
    WriteEpub(folder / "book.epub", {c.body});
    EXPECT_EQ(Texts(ReadEpub((folder / "book.epub").string(), {})), c.paragraphs) << c.body;
  }
}

TEST(EpubReaderTest, HeadingsFromContentsAndHeadingElements) {
  struct Case {
    std::string name;
    std::vector<std::string> pages;
    std::string nav;
    std::vector<int> headings;  // per paragraph
  };
  const std::string part_and_chapter =
      "<section id=\"part\"><h1>Part</h1><section id=\"ch\"><h2>Chapter</h2><p>text</p>"
      "<h3>Sub</h3><h5>Deep</h5></section></section>";
  const Case cases[] = {
      {"nested contents",
       {part_and_chapter},
       "<ol><li><a href=\"p1.xhtml#part\">P</a><ol><li><a href=\"p1.xhtml#ch\">C</a></li></ol>"
       "</li></ol>",
       {1, 2, 0, 3, 3}},
      {"flat contents lists chapters",
       {"<h1>One</h1><p>a</p>", "<h1>Two</h1><p>b</p>"},
       "<ol><li><a href=\"p1.xhtml\">1</a></li><li><a href=\"p2.xhtml\">2</a></li></ol>",
       {2, 0, 2, 0}},
      {"no contents", {part_and_chapter}, "", {1, 2, 0, 3, 3}},
      {"an entry leading to body text makes no heading",
       {"<p>body</p><h2>Later</h2>"},
       "<ol><li><a href=\"p1.xhtml\">x</a><ol><li><a href=\"p1.xhtml#n\">y</a></li></ol></li></ol>",
       {0, 2}},
  };
  testing::ScratchFolder folder;
  for (const Case& c : cases) {
    WriteEpub(folder / "book.epub", c.pages, c.nav);
    const Document document = ReadEpub((folder / "book.epub").string(), {});
    std::vector<int> headings;
    for (const Paragraph& paragraph : document.paragraphs) headings.push_back(paragraph.heading);
    EXPECT_EQ(headings, c.headings) << c.name;
  }
}

// A page without headings of its own takes the contents' entries that lead
// into it as its headings, in the contents' words; a paragraph there that
// says the same becomes the heading instead.
TEST(EpubReaderTest, ContentsEntriesHeadPagesWithoutHeadings) {
  testing::ScratchFolder folder;
  WriteEpub(folder / "book.epub",
            {"<p>Intro text</p><p id=\"s\">More</p>", "<p class=\"title\">CHAPTER  two</p><p>b</p>",
             "<h2>Own</h2><p>c</p>"},
            "<ol><li><a href=\"p1.xhtml\">Introduction</a><ol><li><a href=\"p1.xhtml#s\">"
            "Section</a></li></ol></li><li><a href=\"p2.xhtml\">Chapter Two</a></li>"
            "<li><a href=\"p3.xhtml\">Three</a></li></ol>");
  const Document document = ReadEpub((folder / "book.epub").string(), {});
  std::vector<std::pair<int, std::u16string>> paragraphs;
  for (const Paragraph& p : document.paragraphs) paragraphs.emplace_back(p.heading, p.text);
  const std::vector<std::pair<int, std::u16string>> expected = {
      {1, u"Introduction\r"}, {0, u"Intro text\r"}, {2, u"Section\r"}, {0, u"More\r"},
      {1, u"CHAPTER two\r"},  {0, u"b\r"},          {1, u"Own\r"},     {0, u"c\r"}};
  EXPECT_EQ(paragraphs, expected);
}

TEST(EpubReaderTest, TheCoverIsTheFirstPicture) {
  testing::ScratchFolder folder;
  const Parts cover = {
      {"manifest:",
       "<item id=\"c\" href=\"c.png\" media-type=\"image/png\" properties=\"cover-image\"/>"},
      {"OEBPS/c.png", testing::TinyPng()}};
  const PictureSource png = {{"PNG", testing::TinyPng()}};
  struct Case {
    const char* what;
    std::string page;
    std::vector<size_t> pictures;  // per paragraph
  };
  const Case cases[] = {
      {"a cover the pages do not show", "<p>text</p>", {1, 0}},
      {"a cover page", "<div><img src=\"c.png\"/></div><p>text</p>", {1, 0}},
  };
  for (const Case& c : cases) {
    WriteEpub(folder / "book.epub", {c.page}, "", cover);
    const Document document = ReadEpub((folder / "book.epub").string(), {});
    std::vector<size_t> pictures;
    for (const Paragraph& p : document.paragraphs) pictures.push_back(p.pictures.size());
    EXPECT_EQ(pictures, c.pictures) << c.what;
    EXPECT_EQ(document.paragraphs[0].pictures.front(), png) << c.what;
  }
}

TEST(EpubReaderTest, PicturesByTheirPathInTheArchive) {
  testing::ScratchFolder folder;
  const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"/>";
  WriteEpub(
      folder / "book.epub",
      {"<p><img src=\"img/a.png\"/>first<img src=\"img/b.jpg\"/></p>"
       "<figure><img src=\"img/c.svg\"/></figure><p><img src=\"img/none.png\"/>x</p>"
       "<p><img src=\"http://example.com/a.png\"/>y</p>"
       "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
       "<image xlink:href=\"img/b.jpg\"/></svg>"},
      "",
      {{"OEBPS/img/a.png", testing::TinyPng()},
       {"OEBPS/img/b.jpg", testing::TinyJpeg()},
       {"OEBPS/img/c.svg", svg}});
  const Document document = ReadEpub((folder / "book.epub").string(), {});
  const PictureSource png = {{"PNG", testing::TinyPng()}}, jpeg = {{"JFIF", testing::TinyJpeg()}};
  const std::vector<std::vector<PictureSource>> expected = {
      {png, jpeg}, {} /* a missing picture */, {} /* a remote one */, {jpeg}};
  ASSERT_EQ(document.paragraphs.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(document.paragraphs[i].pictures, expected[i]) << i;
  }
  const Document noted = ReadEpub((folder / "book.epub").string(), {.picture_bytes = false});
  EXPECT_EQ(noted.paragraphs[0].pictures, std::vector<PictureSource>(2));
}

TEST(EpubReaderTest, HostileBooksFailWithAReason) {
  struct Case {
    std::string name;
    std::vector<std::string> pages;
    Parts extra;
    std::string reason;
  };
  const std::string aes =
      "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
      "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData><enc:EncryptionMethod "
      "Algorithm=\"http://www.w3.org/2001/04/xmlenc#aes128-cbc\"/></enc:EncryptedData>"
      "</encryption>";
  std::string deep;
  for (int i = 0; i < 300; ++i) deep = "<div>" + deep + "</div>";
  const Case cases[] = {
      {"encrypted", {"<p>x</p>"}, {{"META-INF/encryption.xml", aes}}, "the book is encrypted"},
      {"entity declaration",
       {"<p>x</p>"},
       {{"OEBPS/p1.xhtml",
         "<?xml version=\"1.0\"?><!DOCTYPE html [<!ENTITY a \"aaaa\">]><html><body><p>&a;</p>"
         "</body></html>"}},
       "declares entities"},
      {"manifest leaving the archive",
       {"<p>x</p>"},
       {{"manifest:", "<item id=\"e\" href=\"../../evil.txt\" media-type=\"text/plain\"/>"}},
       "outside"},
      {"picture leaving the archive", {"<p><img src=\"../../../a.png\"/></p>"}, {}, "outside"},
      {"nested too deeply", {deep}, {}, "nested too deeply"},
  };
  testing::ScratchFolder folder;
  for (const Case& c : cases) {
    WriteEpub(folder / "book.epub", c.pages, "", c.extra);
    try {
      ReadEpub((folder / "book.epub").string(), {});
      ADD_FAILURE() << c.name << " was read";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
          << c.name << ": " << e.what();
    }
  }
}

TEST(EpubReaderTest, BrokenPagesAreReadAsHtmlWithAWarning) {
  testing::ScratchFolder folder;
  WriteEpub(folder / "book.epub",
            {"<p>a & b<br>c", "<p>x</i></p><ol><li>y<li>z</ol>", "<p>fi\x01n\x02" "e</p>"});
  const Document document = ReadEpub((folder / "book.epub").string(), {});
  // Letters 1 and 2, which mark objects in a book's text, never come through.
  EXPECT_EQ(Texts(document),
            (std::vector<std::u16string>{u"a & b\nc\r", u"x\r", u"1. y\r", u"2. z\r", u"fine\r"}));
  EXPECT_EQ(document.warnings,
            (std::vector<std::string>{
                "Document part OEBPS/p1.xhtml is not well-formed XML, read as HTML",
                "Document part OEBPS/p2.xhtml is not well-formed XML, read as HTML"}));
}

TEST(EpubReaderTest, FontObfuscationIsNoProtection) {
  testing::ScratchFolder folder;
  WriteEpub(folder / "book.epub", {"<p>x</p>"}, "",
            {{"META-INF/encryption.xml",
              "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
              "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData>"
              "<enc:EncryptionMethod Algorithm=\"http://www.idpf.org/2008/embedding\"/>"
              "</enc:EncryptedData></encryption>"}});
  EXPECT_EQ(Texts(ReadEpub((folder / "book.epub").string(), {})),
            std::vector<std::u16string>{u"x\r"});
}

}  // namespace
}  // namespace velkaro
