#include "documents/html5_parser.h"

#include <gumbo.h>

#include <memory>
#include <string>

#include "documents/paragraph_collector.h"

namespace velkaro {
namespace {

struct OutputFree {
  void operator()(GumboOutput* output) const {
    gumbo_destroy_output(&kGumboDefaultOptions, output);
  }
};

std::string TagName(const GumboElement& element) {
  if (element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(element.tag);
  GumboStringPiece original = element.original_tag;
  gumbo_tag_from_original_text(&original);
  std::string name(original.data, original.length);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

void Copy(const GumboNode& from, pugi::xml_node to, int depth) {
  CheckNesting(depth);
  const GumboVector& children =
      from.type == GUMBO_NODE_DOCUMENT ? from.v.document.children : from.v.element.children;
  for (unsigned i = 0; i < children.length; ++i) {
    const auto& child = *static_cast<const GumboNode*>(children.data[i]);
    switch (child.type) {
      case GUMBO_NODE_ELEMENT:
      case GUMBO_NODE_TEMPLATE: {
        pugi::xml_node element = to.append_child(TagName(child.v.element).c_str());
        const GumboVector& attributes = child.v.element.attributes;
        for (unsigned a = 0; a < attributes.length; ++a) {
          const auto& attribute = *static_cast<const GumboAttribute*>(attributes.data[a]);
          element.append_attribute(attribute.name).set_value(attribute.value);
        }
        Copy(child, element, depth + 1);
        break;
      }
      case GUMBO_NODE_TEXT:
      case GUMBO_NODE_WHITESPACE:
        to.append_child(pugi::node_pcdata).set_value(child.v.text.text);
        break;
      case GUMBO_NODE_CDATA:
        to.append_child(pugi::node_cdata).set_value(child.v.text.text);
        break;
      default:
        break;  // comments
    }
  }
}

}  // namespace

pugi::xml_document ParseHtml5(std::string_view utf8) {
  const std::unique_ptr<GumboOutput, OutputFree> output(
      gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(), utf8.size()));
  pugi::xml_document document;
  Copy(*output->document, document, 0);
  return document;
}

}  // namespace velkaro
