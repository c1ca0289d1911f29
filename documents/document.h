#ifndef VELKARO_DOCUMENTS_DOCUMENT_H_
#define VELKARO_DOCUMENTS_DOCUMENT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "documents/picture_source.h"

namespace velkaro {

// How a paragraph's list is numbered, by the values word processors report.
enum class ListType : int {
  kNone = 0,
  kNumbersOnly = 1,
  kBullet = 2,
  kSimpleNumbering = 3,
  kOutlineNumbering = 4,  // multi-level numbering, as headings use
  kMixedNumbering = 5,
  kPictureBullet = 6,
};

struct ListFormat {
  int value = 0;  // the item's number; 0 when the paragraph is no list item
  ListType type = ListType::kNone;
  int level = 0;  // 1 for the outermost level
};

// One paragraph of a book in reading order.
struct Paragraph {
  // Letters as the word processor shows them: a list item's number first,
  // tab 9, line break 11, page break 12, and the paragraph mark 13 at the
  // end. Books in markup break lines with a line feed (10) instead.
  std::u16string text;
  // Character position of the paragraph's first letter in the document's
  // main text; -1 for text beside it (notes, text boxes, embedded parts).
  int64_t start = 0;
  ListFormat list;
  // The heading level a book's own outline gives the paragraph: 1 for the
  // title and parts, 2 for chapters, 3 for deeper sections; 0 for none.
  int heading = 0;
  // The outline level that a word processor's paragraph style or the
  // paragraph's own properties give it: 1 for the top level, up to 9; 0 for
  // body text. `title` marks the document's title style.
  int outline_level = 0;
  bool title = false;
  // The paragraph's pictures in order. Their formats stay empty when the
  // reader was asked to leave picture bytes out, or when a picture has none
  // of its own (a linked picture).
  std::vector<PictureSource> pictures;
};

// What every reader makes of a book file, whatever its format.
struct Document {
  std::vector<Paragraph> paragraphs;
  // Character position where the first table of contents starts, if any.
  std::optional<int64_t> contents_start;
  // What the reader left out of a damaged book, one line each.
  std::vector<std::string> warnings;
};

struct ReadOptions {
  bool picture_bytes = true;  // false: pictures are noted, their bytes not read
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCUMENT_H_
