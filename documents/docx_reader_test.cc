#include "documents/docx_reader.h"

#include <gtest/gtest.h>

#include "documents/zip_package.h"
#include "platform/io_error.h"
#include "tests/docx_maker.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::DocxParts;
using testing::ScratchFolder;

std::string P(const std::string& inside) { return "<w:p>" + inside + "</w:p>"; }
std::string R(const std::string& inside) { return "<w:r>" + inside + "</w:r>"; }
std::string T(const std::string& text) {
  return R("<w:t xml:space=\"preserve\">" + text + "</w:t>");
}
std::string Mark(const std::string& type) {
  return R("<w:fldChar w:fldCharType=\"" + type + "\"/>");
}
std::string Code(const std::string& code) { return R("<w:instrText>" + code + "</w:instrText>"); }

class DocxReaderTest : public ::testing::Test {
 protected:
  Document Read(const DocxParts& parts, ReadOptions options = {}) {
    const auto path = folder_ / "book.docx";
    testing::WriteDocx(path, parts);
    return ReadDocx(path.string(), options);
  }
  std::vector<std::u16string> Texts(const DocxParts& parts) {
    std::vector<std::u16string> texts;
    for (const Paragraph& paragraph : Read(parts).paragraphs) texts.push_back(paragraph.text);
    return texts;
  }
  ScratchFolder folder_;
};

TEST_F(DocxReaderTest, TextAsAWordProcessorReportsIt) {
  struct Case {
    const char* what;
    std::string body;
    std::vector<std::u16string> texts;
  };
  const Case cases[] = {
      {"no paragraphs", "", {}},
      {"runs and marks",
       P(T("a") + T(" b") + R("<w:tab/><w:br/><w:br w:type=\"page\"/><w:cr/>") + T("c")),
       {u"a b\t\v\f\vc\r"}},
      {"a lone blank", P(R("<w:t xml:space=\"preserve\"> </w:t>")), {u" \r"}},
      {"object letters of a damaged document",
       P(T("a\x01"
           "b\x02"
           "c")),
       {u"abc\r"}},
      {"letters past the basic plane", P(T("\xF0\x9F\x98\x80\xD0\x96")), {u"\U0001F600\u0416\r"}},
      {"field result without code",
       P(T("p") + Mark("begin") + Code(" PAGE ") + Mark("separate") + T("7") + Mark("end")),
       {u"p7\r"}},
      {"nested field in a code",
       P(Mark("begin") + Code("IF ") + Mark("begin") + Code("PAGE") + Mark("separate") + T("1") +
         Mark("end") + Mark("separate") + T("r") + Mark("end")),
       {u"r\r"}},
      {"simple field", P("<w:fldSimple w:instr=\"PAGE\">" + T("9") + "</w:fldSimple>"), {u"9\r"}},
      {"deleted and inserted revisions",
       P(T("a") + "<w:del>" + R("<w:delText>gone</w:delText>") + "</w:del><w:ins>" + T("b") +
         "</w:ins>"),
       {u"ab\r"}},
      {"objects leave no letter",
       P(T("x") + R("<w:footnoteReference w:id=\"1\"/>") + testing::InlinePictureRun("rId9") +
         T("y")),
       {u"xy\r"}},
      {"tables in order",
       P(T("1")) + "<w:tbl><w:tr><w:tc>" + P(T("2")) + P(T("3")) + "</w:tc><w:tc>" + P(T("4")) +
           "</w:tc></w:tr></w:tbl>",
       {u"1\r", u"2\r", u"3\r", u"4\r"}},
      {"hyperlinks, content controls and alternate content",
       P("<w:hyperlink>" + T("h") + "</w:hyperlink><w:sdt><w:sdtContent>" + T("s") +
         "</w:sdtContent></w:sdt><mc:AlternateContent><mc:Choice>" + T("c") +
         "</mc:Choice><mc:Fallback>" + T("f") + "</mc:Fallback></mc:AlternateContent>"),
       {u"hsc\r"}},
      {"symbols and hyphens",
       P(R("<w:sym w:char=\"F04A\"/><w:noBreakHyphen/><w:softHyphen/><w:sym w:char=\"2\"/>")),
       {u"\uF04A\x1E\x1F\r"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Texts({.body = c.body}), c.texts) << c.what;
  }
}

// Text that a word processor shows beside the paragraphs' own: text boxes
// after the paragraph that holds them (one of each alternate content),
// notes after the body, each after a blank line, numbered as referred to.
TEST_F(DocxReaderTest, TextBoxesAndNotes) {
  const std::string box = "<w:txbxContent>" + P(T("box")) + P(T("more")) + "</w:txbxContent>";
  const std::string shape = "<wps:wsp><wps:txbx>" + box + "</wps:txbx></wps:wsp>";
  const DocxParts parts = {
      .body = P(T("a") + R("<w:footnoteReference w:id=\"7\"/>") + T(" b") +
                R("<w:endnoteReference w:id=\"2\"/>") + R("<w:footnoteReference w:id=\"9\"/>")) +
              P(T("c") +
                R("<mc:AlternateContent><mc:Choice><w:drawing><wp:anchor>" + shape +
                  "</wp:anchor></w:drawing></mc:Choice><mc:Fallback><w:pict><v:shape>"
                  "<v:textbox>" +
                  box +
                  "</v:textbox></v:shape></w:pict></mc:Fallback>"
                  "</mc:AlternateContent>") +
                T("d") + R("<w:footnoteReference w:id=\"8\"/>") +
                R("<w:footnoteReference w:id=\"7\"/>")) +
              P(T("e")),
      .footnotes = "<w:footnote w:type=\"separator\" w:id=\"-1\">" + P(T("----")) +
                   "</w:footnote><w:footnote w:id=\"7\">" + P(R("<w:footnoteRef/>") + T(" seven")) +
                   P(T("again")) + "</w:footnote><w:footnote w:id=\"8\">" +
                   P(R("<w:footnoteRef/>") + T(" eight")) + "</w:footnote>",
      .endnotes = "<w:endnote w:id=\"2\">" + P(R("<w:endnoteRef/>") + T(" end")) + "</w:endnote>"};
  const Document document = Read(parts);
  std::vector<std::u16string> texts;
  std::vector<int64_t> starts;
  for (const Paragraph& paragraph : document.paragraphs) {
    texts.push_back(paragraph.text);
    starts.push_back(paragraph.start);
  }
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"a[1] b[i]\r", u"cd[2][1]\r", u"box\r", u"more\r",
                                                u"e\r", u"\r", u"[1] seven\r", u"again\r", u"\r",
                                                u"[2] eight\r", u"\r", u"[i] end\r"}));
  EXPECT_EQ(starts, (std::vector<int64_t>{0, 7, -1, -1, 13, -1, -1, -1, -1, -1, -1, -1}));
}

// Embedded parts stand where the body names them: HTML, plain text and
// word-processing packages; other formats are left out with a warning.
TEST_F(DocxReaderTest, EmbeddedParts) {
  const auto inner = folder_ / "inner.docx";
  testing::WriteDocx(inner, {.body = P(T("inner"))});
  auto chunk = [](const std::string& id) { return "<w:altChunk r:id=\"" + id + "\"/>"; };
  const DocxParts parts = {
      .body = P(T("a")) + chunk("h") + chunk("t") + chunk("d") + chunk("r") + P(T("z")),
      .related = {{"h", "aFChunk", "chunk.htm",
                   "<html><head><meta charset=windows-1252></head><body><p>caf\xE9 &amp; "
                   "<b>bar<p>x</body></html>"},
                  {"t", "aFChunk", "chunk.txt", "\xEF\xBB\xBFline one\r\nline two"},
                  {"d", "aFChunk", "chunk.docx", testing::ReadBytes(inner)},
                  {"r", "aFChunk", "chunk.rtf", "{\\rtf1 x}"}}};
  const Document document = Read(parts);
  std::vector<std::u16string> texts;
  for (const Paragraph& paragraph : document.paragraphs) texts.push_back(paragraph.text);
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"a\r", u"café & bar\r", u"x\r", u"line one\r",
                                                u"line two\r", u"inner\r", u"z\r"}));
  EXPECT_EQ(
      document.warnings,
      std::vector<std::string>{"Embedded part word/chunk.rtf is in a format that can not be read"});
}

TEST_F(DocxReaderTest, StartsCountStoredCharacters) {
  // Field marks and codes, deleted text and objects take positions.
  const Document document =
      Read({.body = P(T("ab")) +
                    P(Mark("begin") + Code("PAGE") + Mark("separate") + T("1") + Mark("end")) +
                    P("<w:del>" + R("<w:delText>xyz</w:delText>") + "</w:del>" +
                      testing::InlinePictureRun("rId9")) +
                    P(T("z"))});
  std::vector<int64_t> starts;
  for (const Paragraph& paragraph : document.paragraphs) starts.push_back(paragraph.start);
  EXPECT_EQ(starts, (std::vector<int64_t>{0, 3, 12, 17}));
}

TEST_F(DocxReaderTest, FirstTableOfContents) {
  const std::string toc_field =
      P(Mark("begin") + Code(" TOC \\o \"1-3\" ") + Mark("separate") + T("Entry")) +
      P(T("More") + Mark("end"));
  struct Case {
    const char* what;
    std::string body;
    std::optional<int64_t> start;
  };
  const Case cases[] = {
      {"none", P(T("a")), std::nullopt},
      {"a field", P(T("a")) + toc_field, 2},
      {"a simple field",
       P(T("a")) + P("<w:fldSimple w:instr=\"TOC \\o\">" + T("e") + "</w:fldSimple>"), 2},
      {"a table of figures is none",
       P(Mark("begin") + Code("TOC \\c \"Figure\"") + Mark("separate") + Mark("end")),
       std::nullopt},
      {"a content control around a field",
       P(T("a")) +
           "<w:sdt><w:sdtPr><w:docPartObj><w:docPartGallery w:val=\"Table of Contents\"/>"
           "</w:docPartObj></w:sdtPr><w:sdtContent>" +
           P(T("Contents")) + toc_field + "</w:sdtContent></w:sdt>",
       2},
      {"the first of two fields", P(T("a")) + toc_field + toc_field, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read({.body = c.body}).contents_start, c.start) << c.what;
  }
}

// Numbering definitions: 1 is multi-level numbering bound to heading styles,
// 2 bullets, 3 simple numbering, 4 levels bound to a style without a
// multi-level type (as LibreOffice writes them).
constexpr const char* kNumbering =
    "<w:abstractNum w:abstractNumId=\"10\"><w:multiLevelType w:val=\"multilevel\"/>"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "<w:lvl w:ilvl=\"2\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"20\"><w:multiLevelType w:val=\"hybridMultilevel\"/>"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"bullet\"/></w:lvl>"
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"30\"><w:multiLevelType w:val=\"singleLevel\"/>"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"5\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"40\">"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/>"
    "<w:pStyle w:val=\"H1\"/></w:lvl>"
    "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/>"
    "<w:pStyle w:val=\"H2\"/></w:lvl></w:abstractNum>"
    "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"10\"/></w:num>"
    "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"20\"/></w:num>"
    "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"30\"/></w:num>"
    "<w:num w:numId=\"4\"><w:abstractNumId w:val=\"40\"/></w:num>"
    "<w:num w:numId=\"5\"><w:abstractNumId w:val=\"30\"/>"
    "<w:lvlOverride w:ilvl=\"0\"><w:startOverride w:val=\"1\"/></w:lvlOverride></w:num>";

// Word heading styles carry numbering with their level; LibreOffice's carry
// the list only, the level comes from the list's style binding; a style
// based on a numbered one inherits its numbering.
constexpr const char* kStyles =
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"/>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:pPr><w:numPr>"
    "<w:numId w:val=\"1\"/></w:numPr></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Heading2\"><w:pPr><w:numPr><w:ilvl w:val=\"1\"/>"
    "<w:numId w:val=\"1\"/></w:numPr></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Mine\"><w:basedOn w:val=\"Heading2\"/></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"H1\"><w:pPr><w:numPr><w:numId w:val=\"4\"/>"
    "</w:numPr></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"H2\"><w:basedOn w:val=\"H1\"/></w:style>";

std::string Styled(const std::string& style) {
  return P("<w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>" + T("t"));
}
std::string Listed(int num, int level) {
  return P("<w:pPr><w:numPr><w:ilvl w:val=\"" + std::to_string(level) + "\"/><w:numId w:val=\"" +
           std::to_string(num) + "\"/></w:numPr></w:pPr>" + T("t"));
}

TEST_F(DocxReaderTest, ListValueTypeAndLevel) {
  const Document document =
      Read({.body = Styled("Heading1") + Styled("Heading2") + Styled("Mine") + Styled("Heading1") +
                    Listed(1, 2) + P(T("plain")) + Listed(2, 0) + Listed(2, 0) + Listed(3, 0) +
                    Listed(3, 0) + Listed(5, 0) + Styled("H1") + Styled("H2") + Listed(0, 0) +
                    "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/><w:numPr><w:numId w:val=\"0\"/>"
                    "</w:numPr></w:pPr></w:p>",
            .numbering = kNumbering,
            .styles = kStyles});
  struct Expected {
    int value;
    ListType type;
    int level;
  };
  constexpr auto kOutline = ListType::kOutlineNumbering;
  const std::vector<Expected> expected = {
      {1, kOutline, 1},
      {1, kOutline, 2},
      {2, kOutline, 2},  // based on Heading2
      {2, kOutline, 1},  // restarts level 2
      {1, kOutline, 3},
      {0, ListType::kNone, 0},
      {1, ListType::kBullet, 1},
      {2, ListType::kBullet, 1},
      {5, ListType::kSimpleNumbering, 1},
      {6, ListType::kSimpleNumbering, 1},
      {1, ListType::kSimpleNumbering, 1},  // another instance restarts the list
      {1, kOutline, 1},
      {1, kOutline, 2},         // levels bound to styles
      {0, ListType::kNone, 0},  // numbering 0 is none
      {0, ListType::kNone, 0},  // ... and removes a style's numbering
  };
  ASSERT_EQ(document.paragraphs.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const ListFormat& list = document.paragraphs[i].list;
    EXPECT_EQ(list.value, expected[i].value) << i;
    EXPECT_EQ(list.type, expected[i].type) << i;
    EXPECT_EQ(list.level, expected[i].level) << i;
  }
}

// Every picture of a paragraph, in line or floating, in order.
TEST_F(DocxReaderTest, PicturesOfAParagraph) {
  const std::string png = testing::TinyPng();
  const std::string jpeg = testing::TinyJpeg();
  const DocxParts parts = {
      .body = P(testing::InlinePictureRun("rIdA") + testing::InlinePictureRun("rIdB")) +
              P(T("no picture")) + P(testing::InlinePictureRun("rIdB")) +
              P("<w:r><w:drawing><wp:anchor><a:blip r:embed=\"rIdA\"/></wp:anchor></w:drawing>"
                "</w:r>") +
              P(R("<w:pict><v:shape style=\"position:absolute\"><v:imagedata r:id=\"rIdG\"/>"
                  "</v:shape></w:pict>")) +
              P(R("<mc:AlternateContent><mc:Choice><w:drawing><wp:anchor><a:blip "
                  "r:embed=\"rIdB\"/></wp:anchor></w:drawing></mc:Choice><mc:Fallback><w:pict>"
                  "<v:imagedata r:id=\"rIdA\"/></w:pict></mc:Fallback></mc:AlternateContent>")),
      .pictures = {{"rIdA", "media/a.png", png},
                   {"rIdB", "media/b.jpeg", jpeg},
                   {"rIdG", "media/c.gif", "GIF89a..."}}};
  const Document document = Read(parts);
  const PictureSource a = {{"PNG", png}}, b = {{"JFIF", jpeg}}, g = {{"GIF", "GIF89a..."}};
  const std::vector<std::vector<PictureSource>> expected = {{a, b}, {}, {b}, {a}, {g}, {b}};
  ASSERT_EQ(document.paragraphs.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(document.paragraphs[i].pictures, expected[i]) << i;
  }
  const Document noted = Read(parts, {.picture_bytes = false});
  EXPECT_EQ(noted.paragraphs[0].pictures, std::vector<PictureSource>(2));
}

// Numbers as the word processor shows them: each level's text with the
// numbers of the levels it names, in their formats; a level's item restarts
// the levels below it (levels 0, 1, 0, 1 count 1, 1, 2, 1).
TEST_F(DocxReaderTest, ListNumbersAsShown) {
  const std::string numbering =
      "<w:abstractNum w:abstractNumId=\"1\"><w:multiLevelType w:val=\"multilevel\"/>"
      "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"upperRoman\"/>"
      "<w:lvlText w:val=\"%1.\"/></w:lvl>"
      "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"lowerLetter\"/>"
      "<w:lvlText w:val=\"%1.%2)\"/><w:suff w:val=\"space\"/></w:lvl>"
      "<w:lvl w:ilvl=\"2\"><w:start w:val=\"9\"/><w:isLgl/><w:numFmt w:val=\"decimalZero\"/>"
      "<w:lvlText w:val=\"%1.%2.%3\"/><w:suff w:val=\"nothing\"/></w:lvl></w:abstractNum>"
      "<w:abstractNum w:abstractNumId=\"2\"><w:lvl w:ilvl=\"0\"><w:numFmt w:val=\"bullet\"/>"
      "<w:lvlText w:val=\"\xEF\x82\xB7\"/></w:lvl></w:abstractNum>"
      "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>"
      "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"2\"/></w:num>";
  const std::string styles =
      "<w:style w:type=\"paragraph\" w:styleId=\"Numbered\"><w:pPr><w:numPr>"
      "<w:ilvl w:val=\"1\"/><w:numId w:val=\"1\"/></w:numPr></w:pPr></w:style>";
  const Document document =
      Read({.body = Listed(1, 0) + Listed(1, 1) + Listed(1, 0) + Listed(1, 1) + Styled("Numbered") +
                    Listed(1, 2) + Listed(2, 0) + P(T("plain")),
            .numbering = numbering,
            .styles = styles});
  std::vector<std::u16string> texts;
  std::vector<int> values;
  for (const Paragraph& paragraph : document.paragraphs) {
    texts.push_back(paragraph.text);
    values.push_back(paragraph.list.value);
  }
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"I. t\r", u"I.a) t\r", u"II. t\r", u"II.a) t\r",
                                                u"II.b) t\r", u"2.2.9t\r", u"t\r", u"plain\r"}));
  EXPECT_EQ(values, (std::vector<int>{1, 1, 2, 1, 2, 9, 0, 0}));  // no start: 0
}

// Outline levels come from the paragraph's own properties, else from its
// style or the styles it is based on; the built-in heading names count.
TEST_F(DocxReaderTest, OutlineLevelsAndTheTitle) {
  const std::string styles =
      "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"/>"
      "<w:style w:type=\"paragraph\" w:styleId=\"a\"><w:name w:val=\"Heading 1\"/></w:style>"
      "<w:style w:type=\"paragraph\" w:styleId=\"b\"><w:basedOn w:val=\"a\"/><w:pPr>"
      "<w:outlineLvl w:val=\"3\"/></w:pPr></w:style>"
      "<w:style w:type=\"paragraph\" w:styleId=\"c\"><w:basedOn w:val=\"a\"/></w:style>"
      "<w:style w:type=\"paragraph\" w:styleId=\"t\"><w:name w:val=\"Title\"/></w:style>";
  const Document document =
      Read({.body = Styled("a") + Styled("b") + Styled("c") + Styled("t") + P(T("x")) +
                    P("<w:pPr><w:outlineLvl w:val=\"1\"/></w:pPr>" + T("own")) +
                    P("<w:pPr><w:pStyle w:val=\"a\"/><w:outlineLvl w:val=\"9\"/></w:pPr>" + T("b")),
            .styles = styles});
  std::vector<int> levels;
  std::vector<bool> titles;
  for (const Paragraph& paragraph : document.paragraphs) {
    levels.push_back(paragraph.outline_level);
    titles.push_back(paragraph.title);
  }
  EXPECT_EQ(levels, (std::vector<int>{1, 4, 1, 0, 0, 2, 0}));
  EXPECT_EQ(titles, (std::vector<bool>{false, false, false, true, false, false, false}));
}

TEST_F(DocxReaderTest, MainDocumentFoundThroughRelationships) {
  const auto path = folder_ / "moved.docx";
  testing::WriteZip(
      path,
      {{"_rels/.rels",
        "\xEF\xBB\xBF<Relationships><Relationship Id=\"x\" "
        "Type=\"http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument\" "
        "Target=\"/doc/main%20part.xml\"/></Relationships>"},
       {"doc/main part.xml",
        "\xEF\xBB\xBF<s:document xmlns:s=\"http://purl.oclc.org/ooxml/wordprocessingml/main\">"
        "<s:body><s:p><s:r><s:t>strict</s:t></s:r></s:p></s:body></s:document>"}});
  const Document document = ReadDocx(path.string(), {});
  ASSERT_EQ(document.paragraphs.size(), 1u);
  EXPECT_EQ(document.paragraphs[0].text, u"strict\r");
}

TEST_F(DocxReaderTest, HostilePackagesFailCleanly) {
  const std::string rels =
      "<Relationships><Relationship Id=\"d\" Type=\"x/officeDocument\" Target=\"d.xml\"/>"
      "</Relationships>";
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "<w:sdt><w:sdtContent>";
  for (int i = 0; i < 1000; ++i) deep += "</w:sdtContent></w:sdt>";
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> parts;
  };
  const Case cases[] = {
      {"no main document", {{"_rels/.rels", "<Relationships/>"}}},
      {"malformed XML", {{"_rels/.rels", rels}, {"d.xml", "<w:document><w:body>"}}},
      {"entity declarations",
       {{"_rels/.rels", rels},
        {"d.xml",
         "<!DOCTYPE d [<!ENTITY a \"aaaa\">]><document><body><p><r><t>&a;</t></r></p>"
         "</body></document>"}}},
      {"a relationship leaving the package",
       {{"_rels/.rels",
         "<Relationships><Relationship Id=\"d\" Type=\"x/officeDocument\" "
         "Target=\"../../etc/passwd\"/></Relationships>"}}},
      {"deep nesting",
       {{"_rels/.rels", rels},
        {"d.xml", "<w:document><w:body>" + deep + "</w:body></w:document>"}}},
      {"a picture leaving the package",
       {{"_rels/.rels", rels},
        {"d.xml", "<document><body/></document>"},
        {"_rels/d.xml.rels",
         "<Relationships><Relationship Id=\"p\" Type=\"x/image\" Target=\"../../a.png\"/>"
         "</Relationships>"}}},
  };
  for (const Case& c : cases) {
    const auto path = folder_ / "hostile.docx";
    testing::WriteZip(path, c.parts);
    EXPECT_THROW(ReadDocx(path.string(), {}), Error) << c.what;
  }
}

TEST_F(DocxReaderTest, PartsInflatingPastTheLimitAreRefused) {
  // The headers claim a kilobyte; only inflating shows the truth.
  const auto path = folder_ / "bomb.docx";
  for (const uint64_t size : {ZipPackage::kLargestPart, ZipPackage::kLargestPart + 1}) {
    testing::WriteZipBomb(path, "word/document.xml", size, 1024);
    const ZipPackage package(path.string());
    if (size == ZipPackage::kLargestPart) {
      EXPECT_EQ(package.Read("word/document.xml").size(), size) << "exactly the limit is read";
    } else {
      EXPECT_EQ(testing::FailureOf([&] { package.Read("word/document.xml"); }),
                "Document part word/document.xml is too large");
    }
  }
}

}  // namespace
}  // namespace velkaro
