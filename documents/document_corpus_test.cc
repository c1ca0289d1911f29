#include <gtest/gtest.h>

#include <algorithm>

#include "documents/document_reader.h"
#include "platform/io_error.h"
#include "platform/process.h"
#include "tests/docx_maker.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::CorpusFolder;

struct Summary {
  size_t paragraphs = 0;
  size_t pictures = 0;
  size_t outline_items = 0;
  std::u16string contents_paragraph;  // the paragraph where the contents start
  std::vector<std::string> picture_formats;
};

Summary Summarize(const std::string& path) {
  const Document document = ReadBookDocument(path, {});
  Summary summary;
  summary.paragraphs = document.paragraphs.size();
  for (const Paragraph& paragraph : document.paragraphs) {
    const ListFormat& list = paragraph.list;
    if (list.value > 0 && list.type == ListType::kOutlineNumbering) ++summary.outline_items;
    if (paragraph.start == document.contents_start) summary.contents_paragraph = paragraph.text;
    for (const PictureSource& picture : paragraph.pictures) {
      ++summary.pictures;
      if (!picture.empty()) summary.picture_formats.push_back(picture.front().name);
    }
  }
  return summary;
}

TEST(DocumentCorpusTest, WordMadeDocuments) {
  VELKARO_REQUIRE_CORPUS();
  struct Case {
    const char* file;
    size_t paragraphs;
    size_t outline_items;
    std::u16string contents_paragraph;
    std::vector<std::string> picture_formats;
  };
  const Case cases[] = {
      {"docx4j_GettingStarted_long_toc_png.docx", 1306, 0, u"Contents\r", {"PNG", "PNG"}},
      {"docx4j_IndividualContributor_libreoffice_numbered_h1.docx", 51, 8, u"", {}},
      {"docx4j_sample-docx_gif_jpeg_png.docx", 74, 3, u"", {"JFIF", "GIF", "PNG"}},
      {"mammoth_strict_ooxml_namespaces.docx", 1, 0, u"", {}},
      {"mammoth_utf8_bom_in_xml_parts.docx", 1, 0, u"", {}},
      {"pandoc_alternate_document_path.docx", 4, 0, u"", {}},
      {"pandoc_enumerated_headings_outline_numbering.docx", 4, 3, u"", {}},
      {"pandoc_lists_libreoffice_bullets_vs_numbers.docx", 12, 0, u"", {}},
      {"poi_bug65649_ru_contract_very_long_multilevel.docx", 15950, 86, u"", {}},
      {"powertools_HC031_complicated_toc_lists_tables.docx", 149, 10, u"Contents\r", {}},
      {"powertools_Mars_numbered_headings_jpeg_png.docx", 22, 5, u"", {"JFIF", "PNG"}},
      {"pythondocx_inline_shapes_jpeg_png.docx", 9, 0, u"", {"PNG", "JFIF"}},
  };
  for (const Case& c : cases) {
    const Summary summary = Summarize((CorpusFolder() / "docx" / c.file).string());
    EXPECT_EQ(summary.paragraphs, c.paragraphs) << c.file;
    EXPECT_EQ(summary.outline_items, c.outline_items) << c.file;
    EXPECT_EQ(summary.contents_paragraph, c.contents_paragraph) << c.file;
    EXPECT_EQ(summary.picture_formats, c.picture_formats) << c.file;
  }
}

TEST(DocumentCorpusTest, TextOfRightToLeftAndLocalizedDocuments) {
  VELKARO_REQUIRE_CORPUS();
  for (const char* file :
       {"poi_stress004_fa_rtl_book_toc_footnotes.docx",
        "poi_stress011_ar_rtl_gif_png_footnotes.docx", "powertools_HC002_Hebrew_rtl_jpeg_png.docx",
        "docx4j_Russian_localized_headings.docx", "poi_stress008_de_journal_long_footnotes.docx",
        "poi_drawing_ru_headings_pictures_tables.docx"}) {
    const Document document = ReadBookDocument((CorpusFolder() / "docx" / file).string(), {});
    ASSERT_FALSE(document.paragraphs.empty()) << file;
    int64_t previous_start = 0;
    for (const Paragraph& paragraph : document.paragraphs) {
      ASSERT_TRUE(paragraph.text.ends_with(u'\r')) << file;
      if (paragraph.start < 0) continue;  // beside the main text
      EXPECT_GT(paragraph.start, previous_start - (previous_start == 0)) << file;
      previous_start = paragraph.start;
      // Object placeholders never reach the text.
      EXPECT_EQ(paragraph.text.find_first_of(u"\x01\x02"), std::u16string::npos) << file;
    }
  }
}

TEST(DocumentCorpusTest, BrokenPackagesFail) {
  VELKARO_REQUIRE_CORPUS();
  for (const char* file :
       {"poi_bug53475_encrypted_password_pass.docx",
        "poi_clusterfuzz_5166796835258368_malformed_footnotes_xml.docx",
        "poi_clusterfuzz_6442791109263360_badcd_malformed_xml.docx",
        "poi_crash_517626e8_garbled_zip.docx", "poi_stress025_no_document_part.docx",
        "poi_truncated62886_no_central_directory.docx", "tika_testWORD_truncated_763bytes.docx"}) {
    EXPECT_THROW(ReadBookDocument((CorpusFolder() / "docx" / "broken" / file).string(), {}), Error)
        << file;
  }
}

TEST(DocumentCorpusTest, ManyParagraphsLoad) {
  std::string body;
  for (int i = 0; i < 100000; ++i)
    body += "<w:p><w:r><w:t>" + std::to_string(i) + "</w:t></w:r></w:p>";
  testing::ScratchFolder folder;
  testing::WriteDocx(folder / "long.docx", {.body = body});
  const Document document = ReadBookDocument((folder / "long.docx").string(), {});
  ASSERT_EQ(document.paragraphs.size(), 100000u);
  EXPECT_EQ(document.paragraphs.back().text, u"99999\r");
}

// Old Word files and RTF reach the reader through LibreOffice, which leaves
// the user's home and temporary folder as they were.
TEST(DocumentCorpusTest, OtherFormatsThroughLibreOffice) {
  VELKARO_REQUIRE_CORPUS();
  if (FindProgram("soffice").empty()) GTEST_SKIP() << "LibreOffice is not installed";
  testing::ScratchFolder user;
  std::filesystem::create_directories(user / "home");
  std::filesystem::create_directories(user / "tmp");
  const testing::ScopedEnvironment environment(
      {{"HOME", (user / "home").string()},
       {"TMPDIR", (user / "tmp").string()},
       {"XDG_CACHE_HOME", (user / "home/.cache").string()},
       {"XDG_CONFIG_HOME", (user / "home/.config").string()}});
  const Summary contents = Summarize(
      (CorpusFolder() / "docx" / "doc" / "poi_o_kurs_ru_cp1251_toc_fastsaved.doc").string());
  EXPECT_EQ(contents.paragraphs, 96u);
  EXPECT_TRUE(contents.contents_paragraph.starts_with(u"1. ")) << "the first contents entry";
  const Summary pictures = Summarize(
      (CorpusFolder() / "docx" / "rtf" / "tika_testRTFRegularImages_jpeg_wmf.rtf").string());
  // The metafiles come as pictures of their own format.
  EXPECT_EQ(pictures.picture_formats, (std::vector<std::string>{"JFIF", "JFIF"}));
  for (const char* folder : {"home", "tmp"}) {
    EXPECT_TRUE(std::filesystem::is_empty(user / folder)) << folder;
  }
}

}  // namespace
}  // namespace velkaro
