#ifndef VELKARO_DOCUMENTS_XML_PART_H_
#define VELKARO_DOCUMENTS_XML_PART_H_

#include <pugixml.hpp>
#include <span>
#include <string>
#include <string_view>

#include "platform/io_error.h"

namespace velkaro {

// The failure of a part that is not well-formed XML.
class MalformedXml : public Error {
 public:
  using Error::Error;
};

enum class XmlKind {
  // Word-processing package parts: they never need a document type, and
  // whitespace alone is text only inside a text element (a run of one blank).
  kPackagePart,
  // Book markup (XHTML, FB2): a page may name its document type
  // ("<!DOCTYPE html ...>") but declare nothing in it, and every blank
  // between elements may separate words.
  kBookMarkup,
};

// Parses one XML part in UTF-8 or, after its byte-order mark, UTF-16. Throws Error
// when it is not well-formed or its document type breaks the rule of its
// kind. Entity declarations are refused rather than expanded.
pugi::xml_document ParseXmlPart(const std::string& bytes, const std::string& name,
                                XmlKind kind = XmlKind::kPackagePart);

// Parses a book's markup file: its declared encoding honoured and the named
// characters of HTML understood, as ParseXmlPart does for kBookMarkup.
pugi::xml_document ParseBookMarkup(std::string bytes, const std::string& name);

// Parses a page of a book: as ParseBookMarkup does when it is well-formed,
// else as a browser reads HTML, with *warning set to say so.
pugi::xml_document ParseBookPage(std::string bytes, const std::string& name, std::string* warning);

// Element and attribute names without their namespace prefix: the same
// vocabulary comes under more than one namespace.
std::string_view LocalName(const char* qualified_name);
bool IsNamed(const pugi::xml_node& node, std::string_view local_name);
pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view local_name);
pugi::xml_attribute AttributeNamed(const pugi::xml_node& node, std::string_view local_name);
// Calls visit(local name, element) for each child element, in order.
template <typename Visit>
void ForEachChildElement(const pugi::xml_node& node, Visit&& visit) {
  for (const pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_element) visit(LocalName(child.name()), child);
  }
}

// Whether a local name is one of `names`.
bool IsNameAmong(std::string_view local_name, std::span<const std::string_view> names);
// The "val" attribute of the named child, or "" when either is missing.
std::string_view ChildValue(const pugi::xml_node& node, std::string_view local_name);
// A whole number in decimal, or `otherwise` when the text is none.
int ToInt(std::string_view text, int otherwise);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_XML_PART_H_
