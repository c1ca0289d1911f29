#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "documents/document_reader.h"
#include "documents/utf16_text.h"
#include "documents/xml_encoding.h"
#include "documents/zip_package.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/process.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::CorpusFolder;

// Letters without any blank, so that texts compare whatever their spacing.
std::u16string Squeezed(std::u16string_view text) {
  std::u16string letters;
  for (const char16_t c : text) {
    if (c > u' ' && c != u'\u00A0' && c != u'\u2028') letters += c;
  }
  return letters;
}

// Pandoc's own marks in plain text: list items' bullets and numbers, each
// followed by blanks.
size_t MarkLength(std::u16string_view line) {
  size_t mark = 0;
  size_t blanks = 2;
  if (line.starts_with(u'-')) {
    mark = 1;
  } else if (!line.empty() && line[0] >= u'0' && line[0] <= u'9') {
    mark = line.find_first_not_of(u"0123456789");
    if (mark == std::u16string_view::npos || line[mark] != u'.') return 0;
    ++mark;
    blanks = 1;  // "1.  " and "10. " keep the text in one column
  }
  const size_t text = line.find_first_not_of(u' ', mark);
  return mark > 0 && text != std::u16string_view::npos && text >= mark + blanks ? text : 0;
}

// A block of pandoc's plain text as paragraphs: a list is one block whose
// items start lines.
void AddBlock(std::u16string_view block, std::vector<std::u16string>& paragraphs) {
  std::u16string paragraph;
  auto add = [&] {
    paragraph = Squeezed(paragraph);
    // Rules, pictures shown as [their description], and FB2 notes ("[1]
    // text", from the notes bodies that books leave out) have no text of ours.
    const bool rule = paragraph.find_first_not_of(u'-') == std::u16string::npos;
    const bool picture = paragraph.starts_with(u'[') && paragraph.ends_with(u']');
    const bool note = paragraph.starts_with(u'[') && paragraph.size() > 1 && paragraph[1] >= u'0' &&
                      paragraph[1] <= u'9';
    if (!rule && !picture && !note) paragraphs.push_back(paragraph);
    paragraph.clear();
  };
  while (!block.empty()) {
    const size_t end = std::min(block.find(u'\n'), block.size());
    const std::u16string_view line = block.substr(0, end);
    if (const size_t mark = MarkLength(line)) {
      if (!paragraph.empty()) add();
      paragraph = line.substr(mark);
    } else {
      paragraph += line;
    }
    block.remove_prefix(std::min(end + 1, block.size()));
  }
  if (!paragraph.empty()) add();
}

// The paragraphs pandoc sees in a book, as plain text with blank lines
// between paragraphs. FB2 books are handed over unzipped and in UTF-8, the
// only form pandoc reads.
std::vector<std::u16string> PandocParagraphs(const std::filesystem::path& book,
                                             const std::string& from) {
  testing::ScratchFolder folder;
  Path input = book;
  if (from == "fb2") {
    std::string bytes = ReadFileBytes(book);
    if (book.extension() == ".zip") {
      const ZipPackage zip(book.string());
      bytes = zip.Read(zip.Names().front());
    }
    input = folder.path() / "book.fb2";
    OutputFile out(input);
    out.Write(XmlAsUtf8(std::move(bytes)));
    out.Close();
  }
  const Path output = folder.path() / "book.txt";
  EXPECT_EQ(RunProgram({FindProgram("pandoc"), "-f", from, "-t", "plain", "--wrap=none", "-o",
                        output.string(), input.string()},
                       std::chrono::seconds(300)),
            0)
      << book;
  std::u16string text;
  AppendUtf8(ReadFileBytes(output), text);
  std::vector<std::u16string> paragraphs;
  for (size_t begin = 0; begin < text.size();) {
    const size_t end = std::min(text.find(u"\n\n", begin), text.size());
    AddBlock(std::u16string_view(text).substr(begin, end - begin), paragraphs);
    begin = end + 2;
  }
  return paragraphs;
}

// The share of pandoc's text, counted in letters, whose paragraphs come out
// of our reader the same and in the same order. Each paragraph is looked for
// a short way ahead of the last long one found; short ones ("Chapter 1",
// "171") recur too often to mark a place. Counting letters keeps navigation
// lists, which pandoc keeps and books leave out, from weighing more than
// their short entries.
double ShareInOrder(const std::vector<std::u16string>& theirs, const Document& ours) {
  constexpr size_t kLookAhead = 100;
  constexpr size_t kShort = 20;
  size_t found = 0;
  size_t total = 0;
  size_t next = 0;
  for (const std::u16string& paragraph : theirs) {
    total += paragraph.size();
    for (size_t i = next; i < std::min(next + kLookAhead, ours.paragraphs.size()); ++i) {
      if (Squeezed(ours.paragraphs[i].text) == paragraph) {
        found += paragraph.size();
        if (paragraph.size() >= kShort) next = i + 1;
        break;
      }
    }
  }
  return total == 0 ? 1.0 : static_cast<double>(found) / total;
}

struct Book {
  const char* file;
  size_t headings;
  // The first headings, each as its level and text.
  std::vector<std::u16string> first_headings;
  size_t pictures;
  std::vector<std::string> picture_formats;  // of the first pictures
  // The least share of pandoc's paragraphs that must come out the same; 0
  // where no comparison is made (pandoc refuses one book and needs minutes
  // for the largest).
  double pandoc_share;
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
    if (!paragraph.picture) continue;
    ++pictures;
    if (formats.size() < book.picture_formats.size())
      formats.push_back(paragraph.picture->front().name);
  }
  EXPECT_EQ(headings.size(), book.headings) << book.file;
  headings.resize(std::min(headings.size(), book.first_headings.size()));
  EXPECT_EQ(headings, book.first_headings) << book.file;
  EXPECT_EQ(pictures, book.pictures) << book.file;
  EXPECT_EQ(formats, book.picture_formats) << book.file;
  if (book.pandoc_share == 0 || FindProgram("pandoc").empty()) return;
  const double share = ShareInOrder(PandocParagraphs(path, folder), document);
  EXPECT_GE(share, book.pandoc_share) << book.file;
  std::cout << book.file << ": " << share * 100 << "% of pandoc's text\n";
}

TEST(EbookCorpusTest, EpubBooks) {
  VELKARO_REQUIRE_CORPUS();
  const Book books[] = {
      {"debian_live_manual_ja_epub2_cjk_sisu.epub",
       234,
       {u"1 Live システムマニュアル", u"1 About", u"1 このマニュアルについて"},
       0,
       {},
       0},
      // Code blocks with blank lines in them look like paragraphs in pandoc's
      // plain text, and its page navigation bars are left out.
      {"debian_ubuntu_packaging_guide_ru_sphinx_mimetype_not_first.epub",
       118,
       {u"1 Руководство разработчика Ubuntu", u"2 Статьи", u"2 База знаний"},
       4,
       {"PNG", "PNG", "PNG"},
       0.9},
      {"epubjs_alice_illustrated_28_jpegs.epub",
       12,
       {u"2 Alice's Adventures In Wonderland",
        u"3 Copyright, 1916,\nBy Sam'l Gabriel Sons & Company\nNew York",
        u"2 Down The Rabbit-Hole"},
       28,
       {"JFIF", "JFIF", "JFIF"},
       0.99},
      {"idpf_childrens_literature_epub3_deep_nested_nav.epub",
       43,
       {u"2 SECTION IV FAIRY STORIES—MODERN FANTASTIC TALES", u"3 BIBLIOGRAPHY", u"3 INTRODUCTORY"},
       1,
       {"PNG"},
       0.99},
      {"idpf_moby_dick_epub3_144chapters_large_text.epub",
       145,
       {u"2 Brief Contents", u"2 Original Transcriber’s Notes:", u"2 ETYMOLOGY."},
       2,
       {"JFIF", "JFIF"},
       0.99},
      {"idpf_regime_anticancer_arabic_rtl.epub",
       9,
       {u"2 الفصل الثاني", u"1 ما هو السرطان؟", u"1 من أين تأتي الحياة؟"},
       2,
       {"JFIF", "JFIF"},
       0.99},
      {"idpf_svg_in_spine_svg_png_jpeg.epub", 0, {}, 3, {"JFIF", "JFIF", "JFIF"}, 0.99},
      {"pandoc_test_img_png_jpeg_gif.epub",
       5,
       {u"2 Multimedia", u"3 Images", u"3 [REQUIRED] img-010 GIF"},
       3,
       {"GIF", "PNG", "JFIF"},
       0.99},
      {"pandocmade_en_kjv_bible_epub3_nested_toc_large.epub",
       1256,
       {u"1 The Holy Bible: King James Version", u"1 Genesis", u"2 Genesis 1"},
       0,
       {},
       0},
      {"pandocmade_ru_turgenev_epub2_footnotes_cover.epub",
       31,
       {u"2 Отцы и дети", u"1 Отцы и дети", u"2 Отцы и дети"},
       1,
       {"JFIF"},
       0.99},
  };
  for (const Book& book : books) CheckBook(book, "epub");
}

TEST(EbookCorpusTest, Fb2Books) {
  VELKARO_REQUIRE_CORPUS();
  const Book books[] = {
      {"coolreader_manual_ru_bookdesigner_utf8bom_15_jpegs.fb2",
       4,
       {u"2 CoolReader 3.0.18 Основные функции", u"2 Кнопки управления",
        u"2 Детальное описание режимов работы"},
       15,
       {"JFIF", "JFIF", "JFIF"},
       0.99},
      // Pandoc puts a note's text where its link stands; books keep the link.
      {"crengine_gribov_example_nested_sections_depth7.fb2",
       21,
       {u"1 ТОМ 1", u"1 ЧАСТЬ ПЕРВАЯ", u"2 I"},
       1,
       {"JFIF"},
       0.8},
      {"fbreaderj_anna_karenina_cp1251_fbtools_cover_jpeg.fb2",
       2,
       {u"1 Лев Николаевич Толстой АННА КАРЕНИНА", u"2 ЧАСТЬ ПЕРВАЯ"},
       0,
       {},
       0.99},
      {"pandoc_test_writer_nested_sections_notes.fb2",
       32,
       {u"1 Pandoc Test Suite", u"1 Headers", u"2 Level 2 with an embedded link"},
       0,
       {},
       0.9},  // pandoc marks strikeout, superscripts and subscripts in plain text
      {"pandocmade_ru_turgenev_notes_cover.fb2.zip",
       29,
       {u"1 Отцы и дети", u"2 I", u"2 II"},
       0,
       {},
       0.99},
  };
  for (const Book& book : books) CheckBook(book, "fb2");
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
      {"fb2/broken/invalid_base64_binary.fb2", "base64"},
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
