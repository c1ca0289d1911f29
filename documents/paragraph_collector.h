#ifndef VELKARO_DOCUMENTS_PARAGRAPH_COLLECTOR_H_
#define VELKARO_DOCUMENTS_PARAGRAPH_COLLECTOR_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "documents/document.h"

namespace velkaro {

// The heading level of a contents entry `depth` levels deep (1 outermost) in
// a contents `deepest` levels deep: a flat contents lists chapters (2); a
// nested one starts with parts (1), then chapters (2), then sections (3).
int OutlineLevel(int depth, int deepest);

// Books nest sections and blocks a few dozen levels at most; far deeper
// nesting is an attack on the reader's stack. Throws Error past the limit.
void CheckNesting(int depth);

// Gathers the paragraphs of a markup book (XHTML, FB2) as a reader sees
// them: runs of blanks and line ends shrink to one blank, paragraphs without
// letters or picture vanish, and each paragraph ends in its mark (13).
class ParagraphCollector {
 public:
  // Markup text, its whitespace shrunk; `preformatted` keeps it as it is.
  void Text(std::string_view utf8, bool preformatted = false);
  void LineBreak();
  // A list item's number, put before the next letters that start a
  // paragraph; "" takes back one not yet used.
  void ItemLabel(std::string_view label);
  void Picture(PictureSource picture);
  // A contents entry leads to what follows: the next heading takes its level.
  void OutlineEntry(int level);
  // The current paragraph becomes a heading: of the pending contents entry's
  // level if there is one, else of `level`.
  void Heading(int level);
  // A contents entry of a page without headings: its label becomes a heading
  // paragraph here, unless the paragraph that follows says the same.
  void OutlineHeading(std::string_view label, int level);
  // Ends the current paragraph (nothing when it is empty).
  void Break();
  // Ends the current paragraph and adds an empty one, as a blank line.
  void BlankLine();
  Document Finish();

 private:
  void Add();
  void StartLetters();

  Document document_;
  Paragraph current_;
  bool blank_pending_ = false;
  std::string label_;
  int outline_level_ = 0;
  // The paragraph that OutlineHeading added, until a paragraph follows it.
  std::optional<size_t> outline_heading_;
  int64_t position_ = 0;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_PARAGRAPH_COLLECTOR_H_
