#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "documents/document_reader.h"
#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::CorpusFolder;

struct Book {
  const char* file;
  size_t headings;
  // The first headings, each as its level and text.
  std::vector<std::u16string> first_headings;
  size_t pictures;
  std::vector<std::string> picture_formats;  // of the first pictures
};

void CheckBook(const Book& book, const std::string& folder) {
  const std::filesystem::path path = CorpusFolder() / folder / book.file;
  const Document document = ReadBookDocument(path.string(), {});
  std::vector<std::u16string> headings;
  std::vector<std::string> formats;
  size_t pictures = 0;
  for (const Paragraph& paragraph : document.paragraphs) {
    if (paragraph.heading > 0) {
      const std::u16string_view text(paragraph.text.data(), paragraph.text.size() - 1);
      headings.push_back(static_cast<char16_t>(u'0' + paragraph.heading) +
                         (u" " + std::u16string(text)));
    }
    for (const PictureSource& picture : paragraph.pictures) {
      ++pictures;
      if (formats.size() < book.picture_formats.size()) formats.push_back(picture.front().name);
    }
  }
  EXPECT_EQ(headings.size(), book.headings) << book.file;
  headings.resize(std::min(headings.size(), book.first_headings.size()));
  EXPECT_EQ(headings, book.first_headings) << book.file;
  EXPECT_EQ(pictures, book.pictures) << book.file;
  EXPECT_EQ(formats, book.picture_formats) << book.file;
}

// Headings come from h1-h6 and the contents; pages without headings take
// the contents' entries as theirs (cover and title pages). The cover is the
// first picture unless the pages show it first.
TEST(EbookCorpusTest, EpubBooks) {
  VELKARO_REQUIRE_CORPUS();
  const Book books[] = {
      {"debian_live_manual_ja_epub2_cjk_sisu.epub",
       235,
       {u"1 Live システムマニュアル", u"1 About", u"1 このマニュアルについて"},
       0,
       {}},
      {"debian_ubuntu_packaging_guide_ru_sphinx_mimetype_not_first.epub",
       118,
       {u"1 Руководство разработчика Ubuntu", u"2 Статьи", u"2 База знаний"},
       4,
       {"PNG", "PNG", "PNG"}},
      {"epubjs_alice_illustrated_28_jpegs.epub",
       12,
       {u"2 Alice's Adventures In Wonderland",
        u"3 Copyright, 1916,\nBy Sam'l Gabriel Sons & Company\nNew York",
        u"2 Down The Rabbit-Hole"},
       28,
       {"JFIF", "JFIF", "JFIF"}},
      {"idpf_childrens_literature_epub3_deep_nested_nav.epub",
       43,
       {u"2 SECTION IV FAIRY STORIES—MODERN FANTASTIC TALES", u"3 BIBLIOGRAPHY", u"3 INTRODUCTORY"},
       1,
       {"PNG"}},
      {"idpf_moby_dick_epub3_144chapters_large_text.epub",
       147,
       {u"2 Moby-Dick", u"1 Brief Contents", u"2 Original Transcriber’s Notes:"},
       2,
       {"JFIF", "JFIF"}},
      {"idpf_regime_anticancer_arabic_rtl.epub",
       11,
       {u"2 Couverture", u"2 Page de titre", u"2 الفصل الثاني"},
       2,
       {"JFIF", "JFIF"}},
      {"idpf_svg_in_spine_svg_png_jpeg.epub", 3, {}, 3, {"JFIF", "JFIF", "JFIF"}},
      {"pandoc_test_img_png_jpeg_gif.epub",
       5,
       {u"2 Multimedia", u"3 Images", u"3 [REQUIRED] img-010 GIF"},
       4,
       {"PNG", "GIF", "PNG", "JFIF"}},
      {"pandocmade_en_kjv_bible_epub3_nested_toc_large.epub",
       1256,
       {u"1 The Holy Bible: King James Version", u"1 Genesis", u"2 Genesis 1"},
       0,
       {}},
      {"pandocmade_ru_turgenev_epub2_footnotes_cover.epub",
       31,
       {u"2 Отцы и дети", u"1 Отцы и дети", u"2 Отцы и дети"},
       1,
       {"JFIF"}},
  };
  for (const Book& book : books) CheckBook(book, "epub");
}

// Titled sections nest as parts, chapters and sections; the cover page's
// picture comes first.
TEST(EbookCorpusTest, Fb2Books) {
  VELKARO_REQUIRE_CORPUS();
  const Book books[] = {
      {"coolreader_manual_ru_bookdesigner_utf8bom_15_jpegs.fb2",
       4,
       {u"2 CoolReader 3.0.18 Основные функции", u"2 Кнопки управления",
        u"2 Детальное описание режимов работы"},
       15,
       {"JFIF", "JFIF", "JFIF"}},
      {"crengine_gribov_example_nested_sections_depth7.fb2",
       21,
       {u"1 ТОМ 1", u"1 ЧАСТЬ ПЕРВАЯ", u"2 I"},
       2,
       {"JFIF", "JFIF"}},
      {"fbreaderj_anna_karenina_cp1251_fbtools_cover_jpeg.fb2",
       2,
       {u"1 Лев Николаевич Толстой АННА КАРЕНИНА", u"2 ЧАСТЬ ПЕРВАЯ"},
       1,
       {"JFIF"}},
      {"pandoc_test_writer_nested_sections_notes.fb2",
       32,
       {u"1 Pandoc Test Suite", u"1 Headers", u"2 Level 2 with an embedded link"},
       0,
       {}},
      {"pandocmade_ru_turgenev_notes_cover.fb2.zip",
       29,
       {u"1 Отцы и дети", u"2 I", u"2 II"},
       1,
       {"JFIF"}},
  };
  for (const Book& book : books) CheckBook(book, "fb2");
}

// Damaged pictures are left out with a warning; the book is read.
TEST(EbookCorpusTest, ADamagedPictureLeavesTheBookWhole) {
  VELKARO_REQUIRE_CORPUS();
  const Document document =
      ReadBookDocument((CorpusFolder() / "fb2/broken/invalid_base64_binary.fb2").string(), {});
  EXPECT_FALSE(document.paragraphs.empty());
  ASSERT_FALSE(document.warnings.empty());
  EXPECT_NE(document.warnings.front().find("is not valid base64, left out"), std::string::npos);
}

TEST(EbookCorpusTest, BrokenBooksFailWithAReason) {
  VELKARO_REQUIRE_CORPUS();
  struct Broken {
    const char* file;
    const char* reason;
  };
  const Broken books[] = {
      {"epub/broken/billion_laughs_entity_expansion.epub", "declares entities"},
      {"epub/broken/container_points_to_missing_opf.epub", "is missing"},
      {"epub/broken/zip_bomb_chapter_inflates_to_1gib.epub", "too large"},
      {"epub/broken/zip_slip_dotdot_entry.epub", "outside"},
      {"fb2/broken/coolreader_help_template_ru_unescaped_ampersand.fb2", "not well-formed"},
      {"fb2/broken/malformed_xml_unclosed_and_mismatched_tags.fb2", "not well-formed"},
  };
  for (const Broken& book : books) {
    try {
      ReadBookDocument((CorpusFolder() / book.file).string(), {});
      ADD_FAILURE() << book.file << " was read";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(book.reason), std::string::npos)
          << book.file << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace velkaro
