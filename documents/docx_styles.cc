#include "documents/docx_styles.h"

#include <algorithm>
#include <cctype>

#include "documents/xml_part.h"

namespace velkaro {
namespace {

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered;
}

// Built-in styles keep their English names whatever the language of their
// ids: "heading 1" to "heading 9" are outline levels 0 to 8 even where the
// producer left the level out.
int OutlineLevelOfName(std::string_view name) {
  const std::string lowered = Lowered(name);
  if (lowered.size() != 9 || !lowered.starts_with("heading ")) return -1;
  const char digit = lowered.back();
  return digit >= '1' && digit <= '9' ? digit - '1' : -1;
}

int OwnOutlineLevel(const pugi::xml_node& paragraph_properties) {
  return std::clamp(ToInt(ChildValue(paragraph_properties, "outlineLvl"), -1), -1,
                    DocxStyles::kBodyText);
}

}  // namespace

DocxStyles::DocxStyles(const pugi::xml_node& styles) {
  for (const pugi::xml_node node : styles.children()) {
    if (!IsNamed(node, "style")) continue;
    const std::string id = AttributeNamed(node, "styleId").value();
    const std::string_view name = ChildValue(node, "name");
    const pugi::xml_node properties = ChildNamed(node, "pPr");
    Style style;
    style.based_on = ChildValue(node, "basedOn");
    const pugi::xml_node numbering = ChildNamed(properties, "numPr");
    style.num_id = ChildValue(numbering, "numId");
    style.num_level = ToInt(ChildValue(numbering, "ilvl"), -1);
    style.outline_level = OwnOutlineLevel(properties);
    if (style.outline_level < 0) style.outline_level = OutlineLevelOfName(name);
    style.title = Lowered(name) == "title";
    const std::string_view type = AttributeNamed(node, "type").value();
    const std::string_view is_default = AttributeNamed(node, "default").value();
    if (type == "paragraph" && (is_default == "1" || is_default == "true")) default_style_ = id;
    styles_[id] = std::move(style);
  }
}

std::string DocxStyles::StyleOf(const pugi::xml_node& paragraph_properties) const {
  const std::string_view id = ChildValue(paragraph_properties, "pStyle");
  return id.empty() ? default_style_ : std::string(id);
}

int DocxStyles::OutlineLevel(const pugi::xml_node& paragraph_properties) const {
  int level = OwnOutlineLevel(paragraph_properties);
  Walk(StyleOf(paragraph_properties), [&](const Style& style) {
    if (level < 0) level = style.outline_level;
    return level >= 0;
  });
  return level < 0 ? kBodyText : level;
}

bool DocxStyles::IsTitle(const pugi::xml_node& paragraph_properties) const {
  bool title = false;
  Walk(StyleOf(paragraph_properties), [&](const Style& style) { return title = style.title; });
  return title;
}

}  // namespace velkaro
