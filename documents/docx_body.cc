#include "documents/docx_body.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "documents/list_numbers.h"
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

// Of an alternate content, only the first choice is read.
bool IsUnchosen(const pugi::xml_node& node) {
  const pugi::xml_node parent = node.parent();
  return IsNamed(parent, "AlternateContent") && node != FirstChoice(parent);
}

// Letters 1 and 2 stand for objects in a word processor's text; a damaged
// document's text must not carry them.
bool IsObjectLetter(char16_t letter) { return letter == 1 || letter == 2; }

// Calls visit(element) for each element below `root`, in document order, and
// goes below one only when visit returns true.
template <typename Visit>
void WalkBelow(const pugi::xml_node& root, Visit&& visit) {
  std::vector<pugi::xml_node> stack(1, root.first_child());
  while (!stack.empty()) {
    const pugi::xml_node node = stack.back();
    if (!node) {
      stack.pop_back();
      continue;
    }
    stack.back() = node.next_sibling();
    if (node.type() == pugi::node_element && visit(node)) stack.push_back(node.first_child());
  }
}

}  // namespace

DocxBody::DocxBody(const DocxStyles& styles, DocxNumbering& numbering, DocxLinks links)
    : styles_(styles), numbering_(numbering), links_(std::move(links)) {
  for (const pugi::xml_node note : links_.footnotes.children()) {
    if (IsNamed(note, "footnote")) footnotes_.emplace(AttributeNamed(note, "id").value(), note);
  }
  for (const pugi::xml_node note : links_.endnotes.children()) {
    if (IsNamed(note, "endnote")) endnotes_.emplace(AttributeNamed(note, "id").value(), note);
  }
}

Document DocxBody::Read(const pugi::xml_node& body) {
  Blocks(body, 0);
  Notes(0);
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
    } else if (name == "altChunk") {
      Chunk(child);
    } else if (name == "tbl" || name == "tr" || name == "tc" || name == "sdtContent" ||
               name == "customXml" || name == "ins" || name == "moveTo") {
      Blocks(child, depth + 1);
    }
  });
}

void DocxBody::ReadParagraph(const pugi::xml_node& paragraph, int depth) {
  const pugi::xml_node properties = ChildNamed(paragraph, "pPr");
  Paragraph& added = document_.paragraphs.emplace_back();
  paragraph_ = &added;
  added.start = in_main_text_ ? position_ : -1;
  DocxNumbering::Item item = numbering_.Next(properties);
  added.list = item.format;
  AppendUtf8(item.label, added.text);
  const int outline_level = styles_.OutlineLevel(properties);
  added.outline_level = outline_level < DocxStyles::kBodyText ? outline_level + 1 : 0;
  added.title = styles_.IsTitle(properties);
  Inline(paragraph, depth);
  added.text += u'\r';
  ++position_;
  paragraph_ = nullptr;
  std::vector<pugi::xml_node> boxes = std::move(text_boxes_);
  text_boxes_.clear();
  for (const pugi::xml_node& box : boxes) BesideTheMainText(box, depth + 1);
}

// Text that a word processor keeps apart from the main text (a text box, a
// note) takes no place in it.
void DocxBody::BesideTheMainText(const pugi::xml_node& container, int depth) {
  const bool main = in_main_text_;
  const int64_t position = position_;
  in_main_text_ = false;
  Blocks(container, depth);
  in_main_text_ = main;
  position_ = position;
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
    } else if (name == "oMath" || name == "oMathPara") {
      Formula(child);
    }
  });
}

// A formula's runs in reading order, a blank between them, as a line of
// text can show it.
void DocxBody::Formula(const pugi::xml_node& formula) {
  WalkBelow(formula, [&](const pugi::xml_node& node) {
    if (IsNamed(node, "t")) {
      if (Emitting() && !paragraph_->text.empty() && paragraph_->text.back() != u' ') {
        paragraph_->text += u' ';
      }
      Text(node.child_value());
    }
    return !IsUnchosen(node);
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
    } else if (name == "footnoteReference" || name == "endnoteReference") {
      NoteReference(name == "endnoteReference", AttributeNamed(child, "id").value());
    } else if (name == "footnoteRef" || name == "endnoteRef") {
      if (Emitting()) AppendUtf8("[" + note_number_ + "]", paragraph_->text);
      ++position_;
    } else if (name == "commentReference" || name == "annotationRef") {
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
  if (in_main_text_ && !document_.contents_start && IsContentsControl(control)) {
    document_.contents_start = position_;
  }
}

void DocxBody::ContentsFieldEnds(const Field& field) {
  if (in_main_text_ && !document_.contents_start && IsContentsInstruction(field.instruction)) {
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

// An object takes one position and no letter. Its pictures join the
// paragraph's, floating ones too; its text boxes follow the paragraph.
void DocxBody::Object(const pugi::xml_node& object) {
  ++position_;
  if (!Emitting()) return;
  WalkBelow(object, [&](const pugi::xml_node& node) {
    const std::string_view name = LocalName(node.name());
    if (IsUnchosen(node)) return false;
    if (name == "txbxContent") {
      text_boxes_.push_back(node);
      return false;
    }
    const char* id = name == "blip"        ? AttributeNamed(node, "embed").value()
                     : name == "imagedata" ? AttributeNamed(node, "id").value()
                                           : "";
    if (*id) paragraph_->pictures.push_back(links_.picture(id));
    return true;
  });
}

void DocxBody::Chunk(const pugi::xml_node& chunk) {
  if (!links_.chunk) return;
  Document part = links_.chunk(AttributeNamed(chunk, "id").value());
  for (Paragraph& paragraph : part.paragraphs) {
    paragraph.start = -1;
    document_.paragraphs.push_back(std::move(paragraph));
  }
  for (std::string& warning : part.warnings) document_.warnings.push_back(std::move(warning));
}

// Notes are numbered in the order the text first refers to them, footnotes
// 1, 2, 3 and endnotes i, ii, iii, as word processors number them unless
// told otherwise. A reference to a note that is missing shows nothing.
void DocxBody::NoteReference(bool endnote, std::string_view id) {
  ++position_;
  const auto& bodies = endnote ? endnotes_ : footnotes_;
  const auto body = bodies.find(id);
  if (!Emitting() || body == bodies.end()) return;
  auto note = std::find_if(notes_.begin(), notes_.end(),
                           [&](const Note& n) { return n.body == body->second; });
  if (note == notes_.end()) {
    const auto count = std::count_if(notes_.begin(), notes_.end(),
                                     [&](const Note& n) { return n.endnote == endnote; });
    notes_.push_back({endnote, body->second,
                      NumberText(static_cast<int>(count) + 1, endnote ? "lowerRoman" : "decimal")});
    note = notes_.end() - 1;
  }
  AppendUtf8("[" + note->number + "]", paragraph_->text);
}

// Footnotes first, then endnotes, as a printed book has them; a note may
// refer to further notes, which join the list.
void DocxBody::Notes(int depth) {
  std::stable_partition(notes_.begin(), notes_.end(), [](const Note& n) { return !n.endnote; });
  for (size_t i = 0; i < notes_.size(); ++i) {
    const Note note = notes_[i];
    Paragraph& blank = document_.paragraphs.emplace_back();
    blank.text.assign(1, u'\r');
    blank.start = -1;
    note_number_ = note.number;
    BesideTheMainText(note.body, depth + 1);
  }
}

}  // namespace velkaro
