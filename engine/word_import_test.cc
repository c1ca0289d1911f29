#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "engine/image_converter.h"
#include "engine/velkaro.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/process.h"
#include "tests/docx_maker.h"
#include "tests/fake_converter.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

class Lines : public LogSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

std::string P(const std::string& inside) { return "<w:p>" + inside + "</w:p>"; }
std::string R(const std::string& inside) { return "<w:r>" + inside + "</w:r>"; }
std::string T(const std::string& text) {
  return R("<w:t xml:space=\"preserve\">" + text + "</w:t>");
}
std::string Heading(int level, const std::string& inside) {
  return P("<w:pPr><w:numPr><w:ilvl w:val=\"" + std::to_string(level - 1) +
           "\"/><w:numId w:val=\"1\"/></w:numPr></w:pPr>" + inside);
}
std::string Listed(int num) {
  return P("<w:pPr><w:numPr><w:numId w:val=\"" + std::to_string(num) + "\"/></w:numPr></w:pPr>" +
           T("item"));
}

constexpr const char* kNumbering =
    "<w:abstractNum w:abstractNumId=\"1\"><w:multiLevelType w:val=\"multilevel\"/>"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "<w:lvl w:ilvl=\"2\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"2\"><w:multiLevelType w:val=\"hybridMultilevel\"/>"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"bullet\"/></w:lvl>"
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"3\"><w:multiLevelType w:val=\"singleLevel\"/>"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "</w:abstractNum>"
    "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>"
    "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"2\"/></w:num>"
    "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"3\"/></w:num>";

// A contents field that starts on a first-level heading, headings at three
// levels (the first with a picture), bullets, simple numbering, a GIF that
// needs converting and a JPEG after it.
testing::DocxParts Book() {
  const std::string toc =
      "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
      "<w:r><w:instrText>TOC \\o</w:instrText></w:r>"
      "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>";
  return {.body = Heading(1, toc + T("One")) +
                  P(T("x") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>") +
                  Heading(1, testing::InlinePictureRun("rIdPng") + T("Two")) +
                  Heading(2, T("Two.One")) + Heading(3, T("Deep")) + Listed(2) + Listed(3) +
                  P(testing::InlinePictureRun("rIdGif")) + P(testing::InlinePictureRun("rIdJpg")),
          .numbering = kNumbering,
          .pictures = {{"rIdPng", "media/a.png", testing::TinyPng()},
                       {"rIdGif", "media/b.gif", "GIF89a"},
                       {"rIdJpg", "media/c.jpg", testing::TinyJpeg()}}};
}

class WordImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteDocx(source_, Book());
    book_.LogView = &log_;
    book_.ImageSize = 10000;  // the test pictures are far smaller
  }
  std::string Import(const std::string& work_folder) {
    return WideToAnsi(book_.ImportWordDocument(source_.string(), work_folder, &caption_));
  }

  ScratchFolder folder_;
  Path source_ = folder_ / "book.docx";
  TVelkaro book_ = TVelkaro::CreateDefault();
  Lines log_;
  std::string caption_;
};

// A picture is offered as a clipboard offers it, in PNG and JPEG: the
// converter makes the format a mode looks for when the document holds
// another, and without it such a picture is left out with a log line.
TEST_F(WordImportTest, TagsForEachWayOfImporting) {
  const std::string work = (folder_ / "work").string();
  std::filesystem::create_directory(work);
  const std::string tail = "\r\r\n<p3>Two.One\r\r\n<p3>Deep\r\r\nitem\r\r\nitem\r\r\n";
  auto img = [&](const std::string& name) { return "<img " + work + "/" + name + ">"; };
  struct Case {
    const char* what;
    std::string work_folder;
    int image_mode;
    bool converter;
    std::string text;
    std::vector<std::string> log = {};  // after the first line
  };
  const Case cases[] = {
      {"preview", "", 0, false,
       "<p2>One\r\r\nx\r\r\n<p2><img pic1>Two" + tail + "<img pic2>\r\r\n<img pic3>\r\r\n"},
      {"build without pictures", work, 0, false,
       "<p2>One\r\r\nx\r\r\n<p2>Two" + tail + "\r\r\n\r\r\n"},
      {"PNG only, without a converter", work, 2, false,
       "<p2>One\r\r\nx\r\r\n<p2>" + img("tmp1.png") + "Two" + tail + "\r\r\n\r\r\n",
       {"Image 1.png saved (67 bytes)",
        "Can't convert picture 2 (GIF): ImageMagick is not available",
        "Can't find picture with supported format",
        "Can't convert picture 2 (JFIF): ImageMagick is not available",
        "Can't find picture with supported format"}},
      {"PNG only", work, 2, true,
       "<p2>One\r\r\nx\r\r\n<p2>" + img("tmp1.png") + "Two" + tail + img("tmp2.png") +
           "\r\r\n" + img("tmp3.png") + "\r\r\n"},
      {"JPEG only", work, 3, true,
       "<p2>One\r\r\nx\r\r\n<p2>" + img("tmp1.jpg") + "Two" + tail + img("tmp2.jpg") +
           "\r\r\n" + img("tmp3.jpg") + "\r\r\n"},
      {"the smallest", work, 1, true,
       "<p2>One\r\r\nx\r\r\n<p2>" + img("tmp1.jpg") + "Two" + tail + img("tmp2.png") +
           "\r\r\n" + img("tmp3.png") + "\r\r\n"},
  };
  for (const Case& c : cases) {
    book_.ImageMode = c.image_mode;
    book_.Converter = c.converter ? std::make_shared<testing::FakeConverter>() : nullptr;
    log_.lines.clear();
    const std::string text = Import(c.work_folder);
    EXPECT_EQ(text, c.text) << c.what;
    EXPECT_EQ(caption_, "MS Word, " + std::to_string(AnsiToWide(text).size()) + " letters)");
    ASSERT_FALSE(log_.lines.empty());
    EXPECT_EQ(log_.lines.front(), "Initializing MS Word") << c.what;
    if (!c.log.empty()) {
      EXPECT_EQ(std::vector<std::string>(log_.lines.begin() + 1, log_.lines.end()), c.log)
          << c.what;
    }
  }
  EXPECT_EQ(testing::ReadBytes(work + "/tmp3.png"), std::string(10, 'x')) << "made from the JPEG";
  EXPECT_EQ(std::filesystem::directory_iterator(work) ==
                std::filesystem::directory_iterator(),
            false);
  for (const auto& entry : std::filesystem::directory_iterator(work)) {
    EXPECT_EQ(entry.path().filename().string().find("converted"), std::string::npos);
    EXPECT_NE(entry.path().extension(), ".gif") << "conversion leftovers";
  }
}

TEST_F(WordImportTest, TheContentsStartAloneGivesP1) {
  testing::WriteDocx(source_, {.body = P(T("a")) + P("<w:fldSimple w:instr=\"TOC\">" + T("b") +
                                                     "</w:fldSimple>")});
  EXPECT_EQ(Import(""), "a\r\r\n<p1>b\r\r\n");
}

TEST_F(WordImportTest, LoadSourceTextReadsDocumentsWithTags) {
  testing::WriteDocx(source_, {.body = P(T("a"))});
  book_.Tags = false;
  std::string caption;
  EXPECT_EQ(book_.LoadSourceText(source_.string(), "", &caption), u"a\r\r\n ");
  EXPECT_EQ(caption, "MS Word, 4 letters)");
  EXPECT_TRUE(book_.Tags);
  EXPECT_FALSE(book_.SourceIsPlainText);
}

// What reaches the book of a paragraph's letters, and which paragraphs
// become headings with and without style headings.
TEST_F(WordImportTest, LettersAndStyleHeadings) {
  const std::string styles =
      "<w:style w:type=\"paragraph\" w:styleId=\"T\"><w:name w:val=\"Title\"/></w:style>"
      "<w:style w:type=\"paragraph\" w:styleId=\"K1\"><w:name w:val=\"Kop 1\"/><w:pPr>"
      "<w:outlineLvl w:val=\"0\"/></w:pPr></w:style>"
      "<w:style w:type=\"paragraph\" w:styleId=\"H2\"><w:name w:val=\"heading 2\"/></w:style>"
      "<w:style w:type=\"paragraph\" w:styleId=\"Mine\"><w:basedOn w:val=\"K1\"/></w:style>";
  auto styled = [](const std::string& style, const std::string& text) {
    return P("<w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>" + T(text));
  };
  const std::string body =
      styled("T", "Book") + styled("K1", "Part") + styled("H2", "Chapter") +
      styled("Mine", "Based") + P("<w:pPr><w:outlineLvl w:val=\"2\"/></w:pPr>" + T("Own")) +
      P("<w:pPr><w:pStyle w:val=\"K1\"/><w:outlineLvl w:val=\"9\"/></w:pPr>" + T("Body")) +
      P(T("a &lt;b c&lt;&lt;d\x01\x02\x03") + "<w:r><w:br/></w:r>" + T("e"));
  testing::WriteDocx(source_, {.body = body, .styles = styles});
  const std::string letters = "a <b c<<d\ne\r\r\n";
  book_.StyleHeadings = false;
  EXPECT_EQ(Import(""), "Book\r\r\nPart\r\r\nChapter\r\r\nBased\r\r\nOwn\r\r\nBody\r\r\n" + letters);
  book_.StyleHeadings = true;
  EXPECT_EQ(Import(""),
            "<p1>Book\r\r\n<p2>Part\r\r\n<p3>Chapter\r\r\n<p2>Based\r\r\n<p3>Own\r\r\nBody\r\r\n" +
                letters);
}

TEST_F(WordImportTest, ADocumentWithoutLettersFails) {
  for (const std::string& body : {std::string(), P(T(" ")) + P(R("<w:tab/>"))}) {
    testing::WriteDocx(source_, {.body = body});
    EXPECT_EQ(testing::FailureOf([&] { Import(""); }),
              "Document " + source_.string() + " holds no text");
  }
}

// A flat text document with a table of contents, headings numbered at three
// levels through the outline, bullets, simple numbering and a heading with
// a picture.
constexpr const char* kFlatText =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" xmlns:xlink="http://www.w3.org/1999/xlink" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">)"
    R"(<office:styles>)"
    R"(<style:style style:name="Heading_20_1" style:display-name="Heading 1" style:family="paragraph" style:default-outline-level="1"/>)"
    R"(<style:style style:name="Heading_20_2" style:display-name="Heading 2" style:family="paragraph" style:default-outline-level="2"/>)"
    R"(<style:style style:name="Heading_20_3" style:display-name="Heading 3" style:family="paragraph" style:default-outline-level="3"/>)"
    R"(<text:outline-style style:name="Outline">)"
    R"(<text:outline-level-style text:level="1" style:num-format="1"/>)"
    R"(<text:outline-level-style text:level="2" style:num-format="1" text:display-levels="2"/>)"
    R"(<text:outline-level-style text:level="3" style:num-format="1" text:display-levels="3"/>)"
    R"(</text:outline-style>)"
    R"(</office:styles>)"
    R"(<office:automatic-styles>)"
    R"(<text:list-style style:name="L1"><text:list-level-style-bullet text:level="1" text:bullet-char="*"/></text:list-style>)"
    R"(<text:list-style style:name="L2"><text:list-level-style-number text:level="1" style:num-format="1" style:num-suffix="."/></text:list-style>)"
    R"(</office:automatic-styles>)"
    R"(<office:body><office:text>)"
    R"(<text:table-of-content text:name="Contents"><text:table-of-content-source text:outline-level="3"/><text:index-body><text:index-title text:name="Contents_Head"><text:p>Contents</text:p></text:index-title><text:p>One</text:p></text:index-body></text:table-of-content>)"
    R"(<text:h text:style-name="Heading_20_1" text:outline-level="1">One</text:h>)"
    R"(<text:h text:style-name="Heading_20_2" text:outline-level="2">One.One</text:h>)"
    R"(<text:h text:style-name="Heading_20_3" text:outline-level="3">Deep</text:h>)"
    R"(<text:p>Body</text:p>)"
    R"(<text:list text:style-name="L1"><text:list-item><text:p>bullet</text:p></text:list-item><text:list-item><text:p>bullet</text:p></text:list-item></text:list>)"
    R"(<text:list text:style-name="L2"><text:list-item><text:p>number</text:p></text:list-item><text:list-item><text:p>number</text:p></text:list-item></text:list>)"
    R"(<text:h text:style-name="Heading_20_1" text:outline-level="1"><draw:frame draw:name="P" text:anchor-type="as-char" svg:width="1cm" svg:height="1cm"><draw:image><office:binary-data>iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQVR4nGNgAAAAAgABSK+kcQAAAABJRU5ErkJggg==</office:binary-data></draw:image></draw:frame>Two</text:h>)"
    R"(</office:text></office:body>)"
    R"(</office:document>)";

TEST_F(WordImportTest, DocumentsMadeByLibreOffice) {
  if (FindProgram("soffice").empty()) GTEST_SKIP() << "LibreOffice is not installed";
  const Path source = folder_.Write("book.fodt", kFlatText);
  EXPECT_EQ(WideToAnsi(book_.ImportWordDocument(source.string(), "", nullptr)),
            "<p1>Contents\r\r\nOne\r\r\n<p2>1One\r\r\n<p3>1.1One.One\r\r\n<p3>1.1.1Deep\r\r\n"
            "Body\r\r\nbullet\r\r\nbullet\r\r\n1.number\r\r\n2.number\r\r\n<p2><img pic1>2Two\r\r\n");
}

TEST_F(WordImportTest, FailuresNameTheFile) {
  const std::string old_path = std::getenv("PATH");
  struct Case {
    const char* name;
    std::optional<std::string> bytes;  // none: the file is missing
    const char* search_path;
    std::string message;
  };
  const Case cases[] = {
      {"not-a-zip.docx", "plain", old_path.c_str(),
       "Not a readable document package (Not a zip archive)"},
      {"old.doc", "x", "/nowhere", "LibreOffice is needed to read .doc files"},
      {"missing.docx", std::nullopt, old_path.c_str(), "File not found"},
  };
  for (const Case& c : cases) {
    const std::string path =
        c.bytes ? folder_.Write(c.name, *c.bytes).string() : (folder_ / c.name).string();
    setenv("PATH", c.search_path, 1);
    try {
      book_.LoadSourceText(path, "", nullptr);
      ADD_FAILURE() << c.name;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()),
                "Can not load text from file " + path + ", error: " + c.message);
    }
  }
  setenv("PATH", old_path.c_str(), 1);
}

}  // namespace
}  // namespace velkaro
