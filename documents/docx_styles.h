#ifndef VELKARO_DOCUMENTS_DOCX_STYLES_H_
#define VELKARO_DOCUMENTS_DOCX_STYLES_H_

#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace velkaro {

// The paragraph styles of a .docx as far as the book needs them: the
// numbering a style carries, its outline level and whether it is the title.
class DocxStyles {
 public:
  static constexpr int kBodyText = 9;  // the outline level of body text

  struct Style {
    std::string based_on;
    std::string num_id;      // "" when the style carries no numbering
    int num_level = -1;      // -1 when not given
    int outline_level = -1;  // 0 to 9, -1 when not given
    bool title = false;
  };

  // The root may be empty when the document has no styles part.
  explicit DocxStyles(const pugi::xml_node& styles);

  // The style a paragraph's properties name, or the default paragraph style.
  std::string StyleOf(const pugi::xml_node& paragraph_properties) const;
  // Calls visit(style) along the chain of styles from `id` through the
  // styles each is based on, until visit returns true; a damaged document's
  // loop of styles ends the walk.
  template <typename Visit>
  void Walk(std::string_view id, Visit&& visit) const {
    for (int step = 0; step < kLongestChain && !id.empty(); ++step) {
      const auto style = styles_.find(id);
      if (style == styles_.end() || visit(style->second)) return;
      id = style->second.based_on;
    }
  }
  // 0 to 8 for headings, kBodyText for the rest: the paragraph's own
  // outline level, else its style's.
  int OutlineLevel(const pugi::xml_node& paragraph_properties) const;
  bool IsTitle(const pugi::xml_node& paragraph_properties) const;
  const std::map<std::string, Style, std::less<>>& all() const { return styles_; }

 private:
  static constexpr int kLongestChain = 16;

  std::map<std::string, Style, std::less<>> styles_;
  std::string default_style_;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCX_STYLES_H_
