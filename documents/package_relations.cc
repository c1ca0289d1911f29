#include "documents/package_relations.h"

#include <vector>

#include "documents/xml_part.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

std::string RelationsPartOf(const std::string& source_part) {
  const size_t slash = source_part.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : source_part.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? source_part : source_part.substr(slash + 1);
  return folder + "_rels/" + name + ".rels";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
        HexDigit(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

}  // namespace

std::string ResolvePartName(const std::string& source_part, std::string_view target) {
  std::vector<std::string> segments;
  std::string path = PercentDecoded(target);
  if (!path.starts_with('/')) {
    const size_t slash = source_part.rfind('/');
    if (slash != std::string::npos) path = source_part.substr(0, slash + 1) + path;
  }
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = path.find('/', begin);
    if (end == std::string::npos) end = path.size();
    const std::string segment = path.substr(begin, end - begin);
    if (segment == "..") {
      if (segments.empty())
        throw Error("A relationship points outside the package: " + std::string(target));
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    begin = end + 1;
  }
  std::string part;
  for (const std::string& segment : segments) part += (part.empty() ? "" : "/") + segment;
  return part;
}

PartRelations::PartRelations(const ZipPackage& package, const std::string& source_part) {
  const std::string name = RelationsPartOf(source_part);
  if (!package.Has(name)) return;
  const pugi::xml_document xml = ParseXmlPart(package.Read(name), name);
  for (const pugi::xml_node node : xml.document_element().children()) {
    if (!IsNamed(node, "Relationship")) continue;
    Relationship relation;
    relation.type = AttributeNamed(node, "Type").value();
    relation.external = std::string_view(AttributeNamed(node, "TargetMode").value()) == "External";
    const char* target = AttributeNamed(node, "Target").value();
    relation.part = relation.external ? target : ResolvePartName(source_part, target);
    by_id_.emplace(AttributeNamed(node, "Id").value(), std::move(relation));
  }
}

const Relationship* PartRelations::Find(std::string_view id) const {
  const auto found = by_id_.find(id);
  return found == by_id_.end() ? nullptr : &found->second;
}

const Relationship* PartRelations::FindKind(std::string_view kind) const {
  for (const auto& [id, relation] : by_id_) {
    const std::string_view type = relation.type;
    if (!relation.external && type.size() > kind.size() && type.ends_with(kind) &&
        type[type.size() - kind.size() - 1] == '/') {
      return &relation;
    }
  }
  return nullptr;
}

}  // namespace velkaro
