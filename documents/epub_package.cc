#include "documents/epub_package.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "documents/package_relations.h"
#include "documents/paragraph_collector.h"
#include "documents/xml_part.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr const char* kContainer = "META-INF/container.xml";
constexpr const char* kEncryption = "META-INF/encryption.xml";

bool IsFontObfuscation(std::string_view algorithm) {
  return algorithm == "http://www.idpf.org/2008/embedding" ||
         algorithm == "http://ns.adobe.com/pdf/enc#RC";
}

// Fonts may be obfuscated in an open book; anything else encrypted is
// protected by its seller, and the book can not be read.
void RefuseEncryptedBook(const ZipPackage& zip) {
  if (!zip.Has(kEncryption)) return;
  const pugi::xml_document encryption = ParseBookMarkup(zip.Read(kEncryption), kEncryption);
  const pugi::xml_node method = encryption.find_node([](const pugi::xml_node& node) {
    return IsNamed(node, "EncryptionMethod") &&
           !IsFontObfuscation(AttributeNamed(node, "Algorithm").value());
  });
  if (method) throw Error("the book is encrypted");
}

std::string PackageDocumentName(const ZipPackage& zip) {
  if (!zip.Has(kContainer)) throw Error("The book has no " + std::string(kContainer));
  const pugi::xml_document container = ParseBookMarkup(zip.Read(kContainer), kContainer);
  const pugi::xml_node rootfile =
      container.find_node([](const pugi::xml_node& node) { return IsNamed(node, "rootfile"); });
  const std::string name = AttributeNamed(rootfile, "full-path").value();
  if (name.empty()) throw Error("The book names no package document");
  return ResolvePartName("", name);
}

// The part and element id that an address names from a page.
EpubTarget Target(const std::string& from_part, std::string_view address) {
  const size_t hash = address.find('#');
  const std::string_view fragment =
      hash == std::string_view::npos ? std::string_view() : address.substr(hash + 1);
  const std::string part =
      hash == 0 ? from_part : ResolvePartName(from_part, address.substr(0, hash));
  return {part, std::string(fragment)};
}

// The words of an element, its blanks shrunk to one.
std::string Words(const pugi::xml_node& element) {
  struct Gatherer : pugi::xml_tree_walker {
    bool for_each(pugi::xml_node& node) override {
      if (node.type() != pugi::node_pcdata && node.type() != pugi::node_cdata) return true;
      for (const char* c = node.value(); *c; ++c) {
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r') {
          words += *c;
        } else if (!words.empty() && words.back() != ' ') {
          words += ' ';
        }
      }
      return true;
    }
    std::string words;
  } gatherer;
  pugi::xml_node(element).traverse(gatherer);
  if (gatherer.words.ends_with(' ')) gatherer.words.pop_back();
  return gatherer.words;
}

class OutlineReader {
 public:
  explicit OutlineReader(const std::string& part) : part_(part) {}

  // Entries of an XHTML contents page: <li> in nested <ol>, each led by <a>.
  void NavList(const pugi::xml_node& list, int depth) {
    CheckNesting(depth);
    for (const pugi::xml_node item : list.children()) {
      if (!IsNamed(item, "li")) continue;
      const pugi::xml_node link = ChildNamed(item, "a");
      Add(AttributeNamed(link, "href").value(), Words(link), depth);
      NavList(ChildNamed(item, "ol"), depth + 1);
    }
  }

  // Entries of an NCX: nested <navPoint>, each with <content src>.
  void NavPoints(const pugi::xml_node& parent, int depth) {
    CheckNesting(depth);
    for (const pugi::xml_node point : parent.children()) {
      if (!IsNamed(point, "navPoint")) continue;
      Add(AttributeNamed(ChildNamed(point, "content"), "src").value(),
          Words(ChildNamed(ChildNamed(point, "navLabel"), "text")), depth);
      NavPoints(point, depth + 1);
    }
  }

  std::map<EpubTarget, OutlineEntry, std::less<>> Entries() {
    const int deepest = std::max_element(entries_.begin(), entries_.end(), [](auto& a, auto& b) {
                          return a.second.level < b.second.level;
                        })->second.level;
    for (auto& [target, entry] : entries_) entry.level = OutlineLevel(entry.level, deepest);
    return std::move(entries_);
  }

  bool Empty() const { return entries_.empty(); }

 private:
  // Until Entries(), an entry's level is its depth.
  void Add(std::string_view address, std::string label, int depth) {
    if (address.empty() || address.find(':') != std::string_view::npos) return;  // no link
    entries_.emplace(Target(part_, address), OutlineEntry{depth, std::move(label)});
  }

  std::string part_;
  std::map<EpubTarget, OutlineEntry, std::less<>> entries_;
};

bool HasProperty(const pugi::xml_node& item, std::string_view property) {
  const std::string_view properties = item.attribute("properties").value();
  return properties.find(property) != std::string_view::npos;
}

bool IsTocNav(const pugi::xml_node& node) {
  return IsNamed(node, "nav") &&
         std::string_view(AttributeNamed(node, "type").value()).find("toc") !=
             std::string_view::npos;
}

}  // namespace

EpubPackage::EpubPackage(const ZipPackage& zip) {
  RefuseEncryptedBook(zip);
  const std::string opf_name = PackageDocumentName(zip);
  const pugi::xml_document opf = ParseBookMarkup(zip.Read(opf_name), opf_name);
  const pugi::xml_node root = opf.document_element();
  std::map<std::string, EpubItem, std::less<>> by_id;
  std::string nav_part;
  std::string ncx_part;
  for (const pugi::xml_node item : ChildNamed(root, "manifest").children()) {
    if (!IsNamed(item, "item")) continue;
    EpubItem entry{Target(opf_name, item.attribute("href").value()).first,
                   item.attribute("media-type").value()};
    if (HasProperty(item, "nav")) nav_part = entry.part;
    if (HasProperty(item, "cover-image")) cover = entry.part;
    if (entry.media_type == "application/x-dtbncx+xml") ncx_part = entry.part;
    by_id.emplace(item.attribute("id").value(), std::move(entry));
  }
  // EPUB 3 marks the cover in the manifest, EPUB 2 names it in the metadata.
  const pugi::xml_node cover_meta = ChildNamed(root, "metadata").find_child([](const auto& node) {
    return IsNamed(node, "meta") && std::string_view(node.attribute("name").value()) == "cover";
  });
  const auto cover_item = by_id.find(std::string_view(cover_meta.attribute("content").value()));
  if (cover.empty() && cover_item != by_id.end()) cover = cover_item->second.part;
  std::set<std::string> seen;
  for (const pugi::xml_node ref : ChildNamed(root, "spine").children()) {
    const auto found = by_id.find(std::string_view(ref.attribute("idref").value()));
    if (found == by_id.end() || found->second.part == nav_part) continue;  // no contents page
    if (seen.insert(found->second.part).second) spine.push_back(found->second);
  }
  if (!nav_part.empty() && zip.Has(nav_part)) {
    OutlineReader reader(nav_part);
    const pugi::xml_document nav = ParseBookMarkup(zip.Read(nav_part), nav_part);
    reader.NavList(ChildNamed(nav.find_node(IsTocNav), "ol"), 1);
    if (!reader.Empty()) outline = reader.Entries();
  }
  if (outline.empty() && !ncx_part.empty() && zip.Has(ncx_part)) {
    OutlineReader reader(ncx_part);
    const pugi::xml_document ncx = ParseBookMarkup(zip.Read(ncx_part), ncx_part);
    reader.NavPoints(ChildNamed(ncx.document_element(), "navMap"), 1);
    if (!reader.Empty()) outline = reader.Entries();
  }
}

}  // namespace velkaro
