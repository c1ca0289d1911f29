#ifndef VELKARO_DOCUMENTS_DOCX_BODY_H_
#define VELKARO_DOCUMENTS_DOCX_BODY_H_

#include <cstdint>
#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "documents/document.h"
#include "documents/docx_numbering.h"

namespace velkaro {

// Walks the body of a main document and collects its paragraphs. Positions
// count every character a word processor stores: letters, marks, fields'
// codes and their begin, separator and end marks, deleted text and one
// character per object, so that paragraph starts and the contents' start
// compare as they would there.
class DocxBody {
 public:
  // Gives the picture that a relationship id names; called once per picture.
  using PictureLoader = std::function<PictureSource(std::string_view relation_id)>;

  DocxBody(DocxNumbering& numbering, PictureLoader load_picture);

  Document Read(const pugi::xml_node& body);

 private:
  struct Field {
    int64_t start = 0;
    bool in_code = true;
    std::string instruction;
  };

  void Blocks(const pugi::xml_node& container, int depth);
  void ReadParagraph(const pugi::xml_node& paragraph, int depth);
  void Inline(const pugi::xml_node& container, int depth);
  void SimpleField(const pugi::xml_node& field, int depth);
  void RunContent(const pugi::xml_node& run, int depth);
  void FieldMark(std::string_view type);
  void Letter(char16_t letter);
  void Text(std::string_view utf8);
  void Object(const pugi::xml_node& object);
  void ContentControlStarts(const pugi::xml_node& control);
  void ContentsFieldEnds(const Field& field);
  bool Emitting() const;

  DocxNumbering& numbering_;
  PictureLoader load_picture_;
  Document document_;
  Paragraph* paragraph_ = nullptr;
  int64_t position_ = 0;
  int deleted_ = 0;  // depth of deleted revisions around the current content
  std::vector<Field> fields_;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCX_BODY_H_
