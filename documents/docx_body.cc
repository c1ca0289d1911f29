#include "documents/docx_body.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "documents/utf16_text.h"
#include "documents/xml_part.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

// Real documents nest tables, content controls and revisions a few levels
// deep; far deeper nesting is an attack on the reader's stack.
constexpr int kDeepest = 200;

void CheckDepth(int depth) {
  if (depth > kDeepest) throw Error("The document is nested too deeply");
}

// A TOC field makes a table of contents unless its switches make it a table
// of figures (\c caption label, \a captions only).
bool IsContentsInstruction(const std::string& instruction) {
  std::istringstream words(instruction);
  std::string word;
  if (!(words >> word)) return false;
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (word != "TOC") return false;
  while (words >> word) {
    if (word == "\\c" || word == "\\a") return false;
  }
  return true;
}

bool IsContentsControl(const pugi::xml_node& content_control) {
  const pugi::xml_node properties = ChildNamed(content_control, "sdtPr");
  const pugi::xml_node gallery = ChildNamed(ChildNamed(properties, "docPartObj"), "docPartGallery");
  return std::string_view(AttributeNamed(gallery, "val").value()) == "Table of Contents";
}

// The first choice of an alternate content: the richest form of it.
pugi::xml_node FirstChoice(const pugi::xml_node& alternate) {
  const pugi::xml_node choice = ChildNamed(alternate, "Choice");
  return choice ? choice : ChildNamed(alternate, "Fallback");
}

// Letters 1 and 2 stand for objects in a word processor's text and start and
// end markers in a book's; a damaged document's text must not carry them.
bool IsObjectLetter(char16_t letter) { return letter == 1 || letter == 2; }

char16_t BreakLetter(std::string_view type) {
  if (type == "page") return 12;
  if (type == "column") return 14;
  return 11;
}

char16_t SymbolLetter(std::string_view hex) {
  unsigned value = 0;
  std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
  return static_cast<char16_t>(value);
}

// The relationship id of an object's picture when the object sits in the
// line as a letter does, or "" (floating shapes, text boxes, charts).
std::string_view InlinePictureId(const pugi::xml_node& object) {
  if (IsNamed(object, "drawing")) {
    const pugi::xml_node blip =
        ChildNamed(object, "inline").find_node([](const pugi::xml_node& node) {
          return IsNamed(node, "blip");
        });
    return AttributeNamed(blip, "embed").value();
  }
  const pugi::xml_node image =
      object.find_node([](const pugi::xml_node& node) { return IsNamed(node, "imagedata"); });
  const std::string_view style = AttributeNamed(image.parent(), "style").value();
  if (!image || style.find("position:absolute") != std::string_view::npos) return "";
  return AttributeNamed(image, "id").value();
}

}  // namespace

DocxBody::DocxBody(DocxNumbering& numbering, PictureLoader load_picture)
    : numbering_(numbering), load_picture_(std::move(load_picture)) {}

Document DocxBody::Read(const pugi::xml_node& body) {
  Blocks(body, 0);
  return std::move(document_);
}

void DocxBody::Blocks(const pugi::xml_node& container, int depth) {
  CheckDepth(depth);
  ForEachChildElement(container, [&](std::string_view name, const pugi::xml_node& child) {
    if (name == "p") {
      ReadParagraph(child, depth + 1);
    } else if (name == "sdt") {
      ContentControlStarts(child);
      Blocks(child, depth + 1);
    } else if (name == "tbl" || name == "tr" || name == "tc" || name == "sdtContent" ||
               name == "customXml" || name == "ins" || name == "moveTo") {
      Blocks(child, depth + 1);
    }
  });
}

void DocxBody::ReadParagraph(const pugi::xml_node& paragraph, int depth) {
  Paragraph& added = document_.paragraphs.emplace_back();
  paragraph_ = &added;
  added.start = position_;
  added.list = numbering_.Next(ChildNamed(paragraph, "pPr"));
  Inline(paragraph, depth);
  added.text += u'\r';
  ++position_;
  paragraph_ = nullptr;
}

void DocxBody::Inline(const pugi::xml_node& container, int depth) {
  CheckDepth(depth);
  ForEachChildElement(container, [&](std::string_view name, const pugi::xml_node& child) {
    if (name == "r") {
      RunContent(child, depth + 1);
    } else if (name == "del" || name == "moveFrom") {
      ++deleted_;
      Inline(child, depth + 1);
      --deleted_;
    } else if (name == "fldSimple") {
      SimpleField(child, depth + 1);
    } else if (name == "AlternateContent") {
      Inline(FirstChoice(child), depth + 1);
    } else if (name == "sdt") {
      ContentControlStarts(child);
      Inline(child, depth + 1);
    } else if (name == "hyperlink" || name == "smartTag" || name == "customXml" || name == "ins" ||
               name == "moveTo" || name == "sdtContent" || name == "bdo" || name == "dir") {
      Inline(child, depth + 1);
    }
  });
}

// A field without separate marks: its code is an attribute and its
// children are its result.
void DocxBody::SimpleField(const pugi::xml_node& field, int depth) {
  Field simple{position_, false, AttributeNamed(field, "instr").value()};
  position_ += 2 + Utf16Length(simple.instruction);  // begin mark, code, separator
  ContentsFieldEnds(simple);
  fields_.push_back(std::move(simple));
  Inline(field, depth);
  fields_.pop_back();
  ++position_;  // end mark
}

void DocxBody::RunContent(const pugi::xml_node& run, int depth) {
  CheckDepth(depth);
  ForEachChildElement(run, [&](std::string_view name, const pugi::xml_node& child) {
    if (name == "t") {
      Text(child.child_value());
    } else if (name == "instrText") {
      if (!fields_.empty() && fields_.back().in_code)
        fields_.back().instruction += child.child_value();
      position_ += Utf16Length(child.child_value());
    } else if (name == "delText" || name == "delInstrText") {
      position_ += Utf16Length(child.child_value());
    } else if (name == "tab" || name == "ptab") {
      Letter(9);
    } else if (name == "br") {
      Letter(BreakLetter(AttributeNamed(child, "type").value()));
    } else if (name == "cr") {
      Letter(11);
    } else if (name == "noBreakHyphen") {
      Letter(30);
    } else if (name == "softHyphen") {
      Letter(31);
    } else if (name == "sym") {
      Letter(SymbolLetter(AttributeNamed(child, "char").value()));
    } else if (name == "fldChar") {
      FieldMark(AttributeNamed(child, "fldCharType").value());
    } else if (name == "drawing" || name == "pict" || name == "object") {
      Object(child);
    } else if (name == "footnoteReference" || name == "endnoteReference" ||
               name == "commentReference" || name == "annotationRef") {
      ++position_;  // an object letter, kept out of the text
    } else if (name == "AlternateContent") {
      RunContent(FirstChoice(child), depth + 1);
    }
  });
}

void DocxBody::FieldMark(std::string_view type) {
  if (type == "begin") {
    fields_.push_back({position_, true, ""});
  } else if (!fields_.empty() && (type == "separate" || type == "end")) {
    if (fields_.back().in_code) ContentsFieldEnds(fields_.back());
    fields_.back().in_code = false;
    if (type == "end") fields_.pop_back();
  }
  ++position_;
}

void DocxBody::ContentControlStarts(const pugi::xml_node& control) {
  if (!document_.contents_start && IsContentsControl(control)) document_.contents_start = position_;
}

void DocxBody::ContentsFieldEnds(const Field& field) {
  if (!document_.contents_start && IsContentsInstruction(field.instruction)) {
    document_.contents_start = field.start;
  }
}

bool DocxBody::Emitting() const {
  return deleted_ == 0 && paragraph_ &&
         std::none_of(fields_.begin(), fields_.end(), [](const Field& f) { return f.in_code; });
}

void DocxBody::Letter(char16_t letter) {
  if (Emitting() && !IsObjectLetter(letter)) paragraph_->text += letter;
  ++position_;
}

void DocxBody::Text(std::string_view utf8) {
  if (!Emitting()) {
    position_ += Utf16Length(utf8);
    return;
  }
  std::u16string& text = paragraph_->text;
  const size_t before = text.size();
  position_ += AppendUtf8(utf8, text);
  text.erase(std::remove_if(text.begin() + before, text.end(), IsObjectLetter), text.end());
}

// Objects take one position and no letter, so that no placeholder letter
// reaches the text.
void DocxBody::Object(const pugi::xml_node& object) {
  ++position_;
  if (!Emitting() || paragraph_->picture) return;
  const std::string_view id = InlinePictureId(object);
  if (!id.empty()) paragraph_->picture = load_picture_(id);
}

}  // namespace velkaro
