#include "documents/xml_part.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "documents/html5_parser.h"
#include "documents/html_entities.h"
#include "documents/xml_encoding.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

std::string NotWellFormed(const std::string& name) {
  return "Document part " + name + " is not well-formed XML";
}

}  // namespace

pugi::xml_document ParseXmlPart(const std::string& bytes, const std::string& name, XmlKind kind) {
  // Package parts may also be UTF-16, always with a byte-order mark.
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return ParseXmlPart(XmlAsUtf8(bytes), name, kind);
  }
  const unsigned options =
      pugi::parse_default | pugi::parse_doctype |
      (kind == XmlKind::kPackagePart ? pugi::parse_ws_pcdata_single : pugi::parse_ws_pcdata);
  pugi::xml_document document;
  const pugi::xml_parse_result result =
      document.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
  if (!result) throw MalformedXml(NotWellFormed(name));
  for (const pugi::xml_node node : document.children()) {
    if (node.type() != pugi::node_doctype) continue;
    if (kind == XmlKind::kPackagePart) {
      throw Error("Document part " + name + " declares a document type");
    }
    if (std::strchr(node.value(), '[')) throw Error("Document part " + name + " declares entities");
  }
  return document;
}

pugi::xml_document ParseBookMarkup(std::string bytes, const std::string& name) {
  const std::optional<std::string> markup =
      WithHtmlEntitiesAsReferences(XmlAsUtf8(std::move(bytes)));
  if (!markup) throw MalformedXml(NotWellFormed(name));
  return ParseXmlPart(*markup, name, XmlKind::kBookMarkup);
}

pugi::xml_document ParseBookPage(std::string bytes, const std::string& name, std::string* warning) {
  const std::string utf8 = XmlAsUtf8(std::move(bytes));
  if (const std::optional<std::string> markup = WithHtmlEntitiesAsReferences(utf8)) {
    try {
      return ParseXmlPart(*markup, name, XmlKind::kBookMarkup);
    } catch (const MalformedXml&) {
    }
  }
  *warning = NotWellFormed(name) + ", read as HTML";
  return ParseHtml5(utf8);
}

std::string_view LocalName(const char* qualified_name) {
  const char* colon = std::strchr(qualified_name, ':');
  return colon ? std::string_view(colon + 1) : std::string_view(qualified_name);
}

bool IsNamed(const pugi::xml_node& node, std::string_view local_name) {
  return node.type() == pugi::node_element && LocalName(node.name()) == local_name;
}

pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view local_name) {
  for (const pugi::xml_node child : node.children()) {
    if (IsNamed(child, local_name)) return child;
  }
  return {};
}

pugi::xml_attribute AttributeNamed(const pugi::xml_node& node, std::string_view local_name) {
  for (const pugi::xml_attribute attribute : node.attributes()) {
    if (LocalName(attribute.name()) == local_name) return attribute;
  }
  return {};
}

bool IsNameAmong(std::string_view local_name, std::span<const std::string_view> names) {
  return std::find(names.begin(), names.end(), local_name) != names.end();
}

std::string_view ChildValue(const pugi::xml_node& node, std::string_view local_name) {
  return AttributeNamed(ChildNamed(node, local_name), "val").value();
}

int ToInt(std::string_view text, int otherwise) {
  int value = otherwise;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() ? value : otherwise;
}

}  // namespace velkaro
