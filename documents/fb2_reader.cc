#include "documents/fb2_reader.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

#include "documents/base64.h"
#include "documents/paragraph_collector.h"
#include "documents/picture_format.h"
#include "documents/unpacked_budget.h"
#include "documents/xml_part.h"
#include "documents/zip_package.h"
#include "platform/files.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr std::array<std::string_view, 7> kParagraphs = {"p",  "v",  "subtitle",  "text-author",
                                                         "td", "th", "empty-line"};
constexpr std::array<std::string_view, 7> kContainers = {"epigraph", "annotation", "cite", "poem",
                                                         "stanza",   "table",      "tr"};

bool EndsWith(std::string name, std::string_view ending) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name.ends_with(ending);
}

// The bytes of the book: the file itself, or the one .fb2 inside a .fb2.zip.
std::string BookBytes(const std::string& path) {
  if (!EndsWith(path, ".zip")) return ReadFileBytes(path);
  const ZipPackage zip(path);
  for (const std::string& name : zip.Names()) {
    if (EndsWith(name, ".fb2")) return zip.Read(name);
  }
  throw Error("The archive holds no .fb2 book");
}

bool IsNotesBody(const pugi::xml_node& body) {
  const std::string_view name = body.attribute("name").value();
  return name == "notes" || name == "comments" || name == "footnotes";
}

// How deep the titled sections below `parent` nest.
int TitledDepth(const pugi::xml_node& parent, int depth) {
  CheckNesting(depth);
  int deepest = 0;
  for (const pugi::xml_node section : parent.children()) {
    if (!IsNamed(section, "section")) continue;
    const int own = ChildNamed(section, "title") ? depth + 1 : 0;
    deepest = std::max({deepest, own, TitledDepth(section, depth + 1)});
  }
  return deepest;
}

bool IsNoteLink(const pugi::xml_node& node) {
  return IsNamed(node, "a") && std::string_view(node.attribute("type").value()) == "note";
}

// The address of an image element ("#id" for a binary of the book).
std::string_view ImageAddress(const pugi::xml_node& image) {
  return AttributeNamed(image, "href").value();
}

class Fb2Book {
 public:
  Fb2Book(const pugi::xml_node& root, const ReadOptions& options) : options_(options) {
    for (const pugi::xml_node binary : root.children()) {
      if (IsNamed(binary, "binary")) binaries_.emplace(binary.attribute("id").value(), binary);
    }
    for (const pugi::xml_node body : root.children()) {
      if (!IsNamed(body, "body")) continue;
      (IsNotesBody(body) ? notes_ : bodies_).push_back(body);
    }
    for (const pugi::xml_node body : bodies_) deepest_ = std::max(deepest_, TitledDepth(body, 0));
    cover_ = ChildNamed(ChildNamed(ChildNamed(root, "description"), "title-info"), "coverpage");
  }

  // The cover first, then the bodies, then the notes, each after a blank line.
  Document Read() {
    Cover();
    for (const pugi::xml_node body : bodies_) Blocks(body, 0, 1);
    in_notes_ = true;
    for (const pugi::xml_node body : notes_) Blocks(body, 0, 0);
    Document document = collector_.Finish();
    document.warnings = std::move(warnings_);
    return document;
  }

 private:
  // The cover's pictures, unless the book shows the first of them first.
  void Cover() {
    const pugi::xml_node cover = ChildNamed(cover_, "image");
    if (!cover || bodies_.empty()) return;
    const pugi::xml_node first = bodies_.front().find_node(
        [](const pugi::xml_node& node) { return IsNamed(node, "image"); });
    if (first && ImageAddress(first) == ImageAddress(cover)) return;
    for (const pugi::xml_node image : cover_.children()) {
      if (IsNamed(image, "image")) Picture(image);
    }
    collector_.Break();
  }

  // Block content at section depth `depth` (0 for a body); a title here is
  // a heading of `title_level`.
  void Blocks(const pugi::xml_node& parent, int depth, int title_level) {
    CheckNesting(depth);
    for (const pugi::xml_node child : parent.children()) {
      const std::string_view name = LocalName(child.name());
      if (child.type() != pugi::node_element) continue;
      if (name == "title") {
        Title(child, title_level);
      } else if (name == "section" && in_notes_) {
        collector_.BlankLine();
        Blocks(child, depth + 1, 0);
      } else if (name == "section") {
        Blocks(child, depth + 1, OutlineLevel(depth + 1, deepest_));
      } else if (name == "image") {
        collector_.Break();
        Picture(child);
        collector_.Break();
      } else if (IsNameAmong(name, kParagraphs)) {
        collector_.Break();
        Inline(child, depth + 1);
        collector_.Break();
      } else if (IsNameAmong(name, kContainers)) {
        Blocks(child, depth + 1, 0);  // titles of poems are no headings
      }
    }
  }

  // A title's paragraphs make one heading.
  void Title(const pugi::xml_node& title, int level) {
    collector_.Break();
    collector_.Heading(level);
    for (const pugi::xml_node line : title.children()) {
      if (!IsNamed(line, "p")) continue;
      Inline(line, 1);
      collector_.Text(" ");
    }
    collector_.Break();
  }

  void Inline(const pugi::xml_node& parent, int depth) {
    CheckNesting(depth);
    for (const pugi::xml_node child : parent.children()) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        collector_.Text(child.value());
      } else if (IsNamed(child, "image")) {
        Picture(child);
      } else if (IsNamed(child, "p")) {  // a paragraph inside a paragraph
        collector_.Break();
        Inline(child, depth + 1);
        collector_.Break();
      } else if (IsNoteLink(child)) {
        NoteLink(child, depth + 1);
      } else if (child.type() == pugi::node_element) {
        Inline(child, depth + 1);
      }
    }
  }

  // A note's number, set off from the word it follows: "word[2]".
  void NoteLink(const pugi::xml_node& link, int depth) {
    const std::string_view text = link.child_value();
    const bool bracketed = text.starts_with('[') || text.starts_with('(') || text.starts_with('{');
    if (!bracketed) collector_.Text("[");
    Inline(link, depth);
    if (!bracketed) collector_.Text("]");
  }

  // Pictures come from the book's binaries by "#id"; a missing one or one
  // in a format other than PNG, JPEG or GIF is left out, and so is one whose
  // data is damaged, with a warning.
  void Picture(const pugi::xml_node& image) {
    const std::string_view address = ImageAddress(image);
    if (!address.starts_with('#')) return;
    const std::string* bytes = Binary(address.substr(1));
    if (!bytes) return;
    std::string format = PictureFormatName(*bytes);
    if (format != "PNG" && format != "JFIF" && format != "GIF") return;
    if (!options_.picture_bytes) return collector_.Picture({});
    budget_.Take(bytes->size());
    collector_.Picture({{std::move(format), *bytes}});
  }

  // A binary's bytes, decoded once however often the book shows it (none
  // when they are damaged); null when the book has no binary of that id.
  const std::string* Binary(std::string_view id) {
    if (const auto known = decoded_.find(id); known != decoded_.end()) return &known->second;
    const auto found = binaries_.find(id);
    if (found == binaries_.end()) return nullptr;
    std::string bytes;
    try {
      bytes = DecodeBase64(found->second.child_value());
    } catch (const Error&) {
      warnings_.push_back("Picture " + found->first + " is not valid base64, left out");
    }
    budget_.Take(bytes.size());
    return &decoded_.emplace(found->first, std::move(bytes)).first->second;
  }

  ReadOptions options_;
  std::map<std::string, pugi::xml_node, std::less<>> binaries_;
  std::map<std::string, std::string, std::less<>> decoded_;
  UnpackedBudget budget_;
  std::vector<pugi::xml_node> bodies_;
  std::vector<pugi::xml_node> notes_;
  pugi::xml_node cover_;
  int deepest_ = 0;
  bool in_notes_ = false;
  ParagraphCollector collector_;
  std::vector<std::string> warnings_;
};

}  // namespace

Document ReadFb2(const std::string& path, const ReadOptions& options) {
  const pugi::xml_document book = ParseBookMarkup(BookBytes(path), Path(path).filename().string());
  if (!IsNamed(book.document_element(), "FictionBook")) throw Error("The file is no FictionBook");
  return Fb2Book(book.document_element(), options).Read();
}

}  // namespace velkaro
