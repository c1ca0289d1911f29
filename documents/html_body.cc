#include "documents/html_body.h"

#include <algorithm>
#include <array>

#include "documents/xml_part.h"

namespace velkaro {
namespace {

// Navigation (contents, landmarks, page lists) is no part of the text.
constexpr std::array<std::string_view, 11> kLeftOut = {"head",     "script", "style", "template",
                                                       "noscript", "title",  "desc",  "metadata",
                                                       "iframe",   "object", "nav"};

constexpr std::array<std::string_view, 35> kBlocks = {
    "p",      "div",   "li",      "dt",         "dd",      "blockquote", "pre",
    "td",     "th",    "caption", "figcaption", "section", "article",    "header",
    "footer", "aside", "address", "figure",     "table",   "tr",         "ul",
    "ol",     "dl",    "hr",      "center",     "main",    "body",       "tbody",
    "thead",  "tfoot", "hgroup",  "details",    "summary", "form",       "fieldset"};

// h1 to h6 give 1 to 6; anything else 0.
int HeadingRank(std::string_view name) {
  if (name.size() != 2 || name[0] != 'h' || name[1] < '1' || name[1] > '6') return 0;
  return name[1] - '0';
}

// Hidden elements, and navigation bars that page makers add to each page.
bool IsHidden(const pugi::xml_node& element) {
  if (element.attribute("hidden")) return true;
  if (std::string_view(element.attribute("role").value()) == "navigation") return true;
  if (std::string_view(element.attribute("aria-hidden").value()) == "true") return true;
  std::string style = element.attribute("style").value();
  std::erase(style, ' ');
  return style.find("display:none") != std::string::npos;
}

class HtmlPage {
 public:
  HtmlPage(const PageLinks& links, ParagraphCollector& collector)
      : links_(links), collector_(collector) {}

  void Children(const pugi::xml_node& parent, int depth) {
    CheckNesting(depth);
    for (const pugi::xml_node child : parent.children()) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        collector_.Text(child.value(), preformatted_ > 0);
      } else if (child.type() == pugi::node_element) {
        Element(child, depth + 1);
      }
    }
  }

 private:
  void Element(const pugi::xml_node& element, int depth) {
    const std::string_view name = LocalName(element.name());
    if (IsNameAmong(name, kLeftOut) || IsHidden(element)) return;
    if (const pugi::xml_attribute id = element.attribute("id")) {
      if (const int level = links_.outline_level(id.value())) collector_.OutlineEntry(level);
    }
    if (name == "br") {
      collector_.LineBreak();
    } else if (name == "img" || name == "image") {
      Picture(element);
    } else if (const int rank = HeadingRank(name)) {
      collector_.Break();
      collector_.Heading(std::min(rank, 3));
      Children(element, depth);
      collector_.Break();
    } else if (IsNameAmong(name, kBlocks)) {
      const bool preformatted = name == "pre";
      collector_.Break();
      preformatted_ += preformatted;
      Children(element, depth);
      preformatted_ -= preformatted;
      collector_.Break();
    } else {
      Children(element, depth);
    }
  }

  void Picture(const pugi::xml_node& element) {
    const char* address = LocalName(element.name()) == "img"
                              ? element.attribute("src").value()
                              : AttributeNamed(element, "href").value();
    if (auto picture = links_.picture(address)) collector_.Picture(std::move(*picture));
  }

  const PageLinks& links_;
  ParagraphCollector& collector_;
  int preformatted_ = 0;
};

}  // namespace

void ReadHtmlPage(const pugi::xml_node& root, const PageLinks& links,
                  ParagraphCollector& collector) {
  HtmlPage(links, collector).Children(root, 0);
  collector.Break();
}

}  // namespace velkaro
