// Headings of the corpus's Word documents as the book's contents gets them:
// by the outline numbering and the contents alone, and with style headings
// by the outline level of a paragraph's style or its own properties too.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/velkaro.h"
#include "engine/working_text.h"
#include "platform/code_page.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

// Each heading as its level and the first words of its line.
std::vector<std::string> Headings(const std::string& document, bool style_headings) {
  TVelkaro book = TVelkaro::CreateDefault();
  book.StyleHeadings = style_headings;
  const std::string path = (testing::CorpusFolder() / "docx" / document).string();
  std::u16string text = book.LoadSourceText(path, "", nullptr);  // sets Tags
  const WorkingText working = PrepareWorkingText(std::move(text), book.Tags, true);
  std::vector<std::string> headings;
  for (const int32_t entry : working.headings) {
    const std::u16string_view line = std::u16string_view(working.text).substr(entry >> 8, 24);
    const std::u16string_view title = line.substr(0, line.find_first_of(u"\r\n"));
    headings.push_back(std::to_string(entry & 255) + " " + WideToAnsi(title));
  }
  return headings;
}

TEST(DocumentHeadingsTest, WithAndWithoutStyleHeadings) {
  VELKARO_REQUIRE_CORPUS();
  struct Case {
    const char* document;
    size_t without, with;
    std::vector<std::string> first_with;  // the first headings with style headings
  };
  const Case cases[] = {
      // The title, the contents' start, 51 "heading 1" and 20 "heading 2".
      {"docx4j_GettingStarted_long_toc_png.docx",
       1,
       73,
       {"1 Docx4j - Getting Started", "1 Contents", "2 What is docx4j?"}},
      // Heading styles whose ids are Russian ("1", "2"); their names are not.
      {"docx4j_Russian_localized_headings.docx", 0, 24, {}},
      // Custom styles that carry outline levels 0 to 2.
      {"poi_stress004_fa_rtl_book_toc_footnotes.docx", 1, 73, {}},
      // German ids ("berschrift1"); its 14 empty heading paragraphs are none.
      {"poi_stress008_de_journal_long_footnotes.docx", 0, 25, {}},
      // Outline-numbered headings are headings either way.
      {"powertools_Mars_numbered_headings_jpeg_png.docx",
       5,
       5,
       {"2 1 Mars", "3 1.1 How big is Mars", "3 1.2 How long is a day or"}},
      {"pandoc_enumerated_headings_outline_numbering.docx", 3, 3, {}},
      {"poi_56392_libreoffice_inline_png.docx", 0, 0, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Headings(c.document, false).size(), c.without) << c.document;
    std::vector<std::string> with = Headings(c.document, true);
    EXPECT_EQ(with.size(), c.with) << c.document;
    if (c.first_with.empty()) continue;
    with.resize(std::min(with.size(), c.first_with.size()));
    EXPECT_EQ(with, c.first_with) << c.document;
  }
}

}  // namespace
}  // namespace velkaro
