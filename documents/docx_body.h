#ifndef VELKARO_DOCUMENTS_DOCX_BODY_H_
#define VELKARO_DOCUMENTS_DOCX_BODY_H_

#include <cstdint>
#include <functional>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "documents/document.h"
#include "documents/docx_numbering.h"
#include "documents/docx_styles.h"

namespace velkaro {

// What the main document of a .docx refers to beside its body.
struct DocxLinks {
  // The picture that a relationship id names; called once per picture.
  std::function<PictureSource(std::string_view relation_id)> picture;
  // The paragraphs of an embedded part (an altChunk) that a relationship id
  // names.
  std::function<Document(std::string_view relation_id)> chunk;
  // The roots of the footnotes and endnotes parts; empty when there are none.
  pugi::xml_node footnotes;
  pugi::xml_node endnotes;
};

// Walks the body of a main document and collects its paragraphs. Positions
// count every character a word processor stores: letters, marks, fields'
// codes and their begin, separator and end marks, deleted text and one
// character per object, so that paragraph starts and the contents' start
// compare as they would there. Text boxes follow the paragraph that holds
// them, embedded parts stand where they are, and the notes come after the
// body, each after a blank line, numbered as their references are.
class DocxBody {
 public:
  DocxBody(const DocxStyles& styles, DocxNumbering& numbering, DocxLinks links);

  Document Read(const pugi::xml_node& body);

 private:
  struct Field {
    int64_t start = 0;
    bool in_code = true;
    std::string instruction;
  };
  // A note that the text refers to, and its number.
  struct Note {
    bool endnote = false;
    pugi::xml_node body;
    std::string number;
  };

  void Blocks(const pugi::xml_node& container, int depth);
  void ReadParagraph(const pugi::xml_node& paragraph, int depth);
  void Inline(const pugi::xml_node& container, int depth);
  void SimpleField(const pugi::xml_node& field, int depth);
  void Formula(const pugi::xml_node& formula);
  void RunContent(const pugi::xml_node& run, int depth);
  void FieldMark(std::string_view type);
  void Letter(char16_t letter);
  void Text(std::string_view utf8);
  void Object(const pugi::xml_node& object);
  void Chunk(const pugi::xml_node& chunk);
  void NoteReference(bool endnote, std::string_view id);
  void Notes(int depth);
  void BesideTheMainText(const pugi::xml_node& container, int depth);
  void ContentControlStarts(const pugi::xml_node& control);
  void ContentsFieldEnds(const Field& field);
  bool Emitting() const;

  const DocxStyles& styles_;
  DocxNumbering& numbering_;
  DocxLinks links_;
  Document document_;
  Paragraph* paragraph_ = nullptr;
  int64_t position_ = 0;
  bool in_main_text_ = true;
  int deleted_ = 0;  // depth of deleted revisions around the current content
  std::vector<Field> fields_;
  std::vector<pugi::xml_node> text_boxes_;                        // of the paragraph being read
  std::map<std::string, pugi::xml_node, std::less<>> footnotes_;  // by id
  std::map<std::string, pugi::xml_node, std::less<>> endnotes_;
  std::vector<Note> notes_;  // in the order of their references
  std::string note_number_;  // of the note being read
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCX_BODY_H_
