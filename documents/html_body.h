#ifndef VELKARO_DOCUMENTS_HTML_BODY_H_
#define VELKARO_DOCUMENTS_HTML_BODY_H_

#include <functional>
#include <optional>
#include <pugixml.hpp>
#include <string_view>

#include "documents/paragraph_collector.h"

namespace velkaro {

// What an XHTML page of a book links to.
struct PageLinks {
  // The picture that an image's address names, or nothing to leave it out.
  std::function<std::optional<PictureSource>(std::string_view address)> picture;
  // The heading level of the contents entry that leads to an element id, or 0.
  std::function<int(std::string_view id)> outline_level;
};

// Reads an XHTML page (or an SVG one) into paragraphs as a browser shows it:
// block elements make paragraphs, inline markup disappears, <br/> breaks
// the line, and scripts, styles and hidden elements are left out. h1 to h6
// become headings.
void ReadHtmlPage(const pugi::xml_node& root, const PageLinks& links,
                  ParagraphCollector& collector);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_HTML_BODY_H_
