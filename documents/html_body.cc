#include "documents/html_body.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "documents/list_numbers.h"
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

// How an ordered list numbers its items: its next number, the step (-1 in a
// reversed list) and the format its type asks for.
struct ListNumbers {
  bool ordered = false;
  int next = 1;
  int step = 1;
  std::string_view format = "decimal";
};

ListNumbers NumbersOf(const pugi::xml_node& list) {
  ListNumbers numbers;
  numbers.ordered = LocalName(list.name()) == "ol";
  if (!numbers.ordered) return numbers;
  numbers.step = list.attribute("reversed") ? -1 : 1;
  numbers.next = ToInt(list.attribute("start").value(), 1);
  const std::string_view type = list.attribute("type").value();
  if (type == "a") numbers.format = "lowerLetter";
  if (type == "A") numbers.format = "upperLetter";
  if (type == "i") numbers.format = "lowerRoman";
  if (type == "I") numbers.format = "upperRoman";
  return numbers;
}

bool HasHeadings(const pugi::xml_node& root) {
  return root.find_node([](const pugi::xml_node& node) {
    return node.type() == pugi::node_element && HeadingRank(LocalName(node.name())) > 0;
  });
}

class HtmlPage {
 public:
  HtmlPage(const pugi::xml_node& root, const PageLinks& links, ParagraphCollector& collector)
      : links_(links), collector_(collector), outline_makes_headings_(!HasHeadings(root)) {}

  // The contents entry that leads to an element id ("" for the page start).
  void OutlineTarget(std::string_view id) {
    const OutlineEntry* entry = links_.outline(id);
    if (!entry) return;
    if (outline_makes_headings_) {
      collector_.OutlineHeading(entry->label, entry->level);
    } else {
      collector_.OutlineEntry(entry->level);
    }
  }

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
    if (const pugi::xml_attribute id = element.attribute("id")) OutlineTarget(id.value());
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
      const bool list = name == "ol" || name == "ul";
      collector_.Break();
      if (list) lists_.push_back(NumbersOf(element));
      if (name == "li") ItemNumber(element);
      preformatted_ += preformatted;
      Children(element, depth);
      preformatted_ -= preformatted;
      if (name == "li") collector_.ItemLabel("");
      if (list) lists_.pop_back();
      collector_.Break();
    } else {
      Children(element, depth);
    }
  }

  // An item of an ordered list starts with its number ("value" sets it).
  void ItemNumber(const pugi::xml_node& item) {
    if (lists_.empty() || !lists_.back().ordered) return;
    ListNumbers& numbers = lists_.back();
    numbers.next = ToInt(item.attribute("value").value(), numbers.next);
    collector_.ItemLabel(NumberText(numbers.next, numbers.format) + ".");
    numbers.next += numbers.step;
  }

  void Picture(const pugi::xml_node& element) {
    const char* address = LocalName(element.name()) == "img"
                              ? element.attribute("src").value()
                              : AttributeNamed(element, "href").value();
    if (auto picture = links_.picture(address)) collector_.Picture(std::move(*picture));
  }

  const PageLinks& links_;
  ParagraphCollector& collector_;
  const bool outline_makes_headings_;
  int preformatted_ = 0;
  std::vector<ListNumbers> lists_;  // the lists the current element is in, innermost last
};

}  // namespace

void ReadHtmlPage(const pugi::xml_node& root, const PageLinks& links,
                  ParagraphCollector& collector) {
  HtmlPage page(root, links, collector);
  page.OutlineTarget("");
  page.Children(root, 0);
  collector.Break();
}

}  // namespace velkaro
