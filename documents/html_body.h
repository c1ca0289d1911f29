#ifndef VELKARO_DOCUMENTS_HTML_BODY_H_
#define VELKARO_DOCUMENTS_HTML_BODY_H_

#include <functional>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "documents/paragraph_collector.h"

namespace velkaro {

// An entry of a book's contents: its heading level (see OutlineLevel) and
// its words.
struct OutlineEntry {
  int level = 0;
  std::string label;
};

// What an XHTML page of a book links to.
struct PageLinks {
  // The picture that an image's address names, or nothing to leave it out.
  std::function<std::optional<PictureSource>(std::string_view address)> picture;
  // The contents entry that leads to an element id ("" for the page's
  // start), or nullptr.
  std::function<const OutlineEntry*(std::string_view id)> outline;
};

// Reads an XHTML page (or an SVG one) into paragraphs as a browser shows it:
// block elements make paragraphs, inline markup disappears, <br/> breaks
// the line, ordered lists keep their numbers, and scripts, styles and hidden
// elements are left out. h1 to h6 become headings; on a page without any,
// the contents entries that lead into it make headings of their words.
void ReadHtmlPage(const pugi::xml_node& root, const PageLinks& links,
                  ParagraphCollector& collector);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_HTML_BODY_H_
