#ifndef VELKARO_DOCUMENTS_DOCX_NUMBERING_H_
#define VELKARO_DOCUMENTS_DOCX_NUMBERING_H_

#include <array>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "documents/document.h"
#include "documents/docx_styles.h"

namespace velkaro {

// The list numbering of a .docx: numbering definitions, and paragraph styles
// that carry numbering themselves (heading numbering often comes that way).
// Feed it the paragraphs in order; it counts the items as a reader sees them.
class DocxNumbering {
 public:
  struct Item {
    ListFormat format;
    // The item's number as the word processor shows it before the text,
    // with the blank after it ("1.2. "); "" for bullets and non-items.
    std::string label;
  };

  // The root may be empty when the document has no numbering part.
  DocxNumbering(const pugi::xml_node& numbering, const DocxStyles& styles);

  // The list item that the next paragraph is, from its properties (may be
  // empty).
  Item Next(const pugi::xml_node& paragraph_properties);

 private:
  static constexpr int kLevels = 9;
  struct Level {
    std::string format;  // "decimal", "bullet", ...; "" when not given
    std::string text;    // "%1.%2." and the like
    int start = 0;
    bool picture_bullet = false;
    bool legal = false;  // the numbers of every level in decimal
    bool blank_after = true;
  };
  struct List {
    std::string multi_level_type;
    std::string numbering_style;  // numStyleLink: the levels live elsewhere
    std::array<Level, kLevels> levels;
    std::map<std::string, int, std::less<>> level_of_style;
    bool used_by_style = false;
    std::array<int, kLevels> counters{};
    std::array<bool, kLevels> counting{};
  };
  struct Instance {
    std::string list_id;
    std::map<int, int> start_overrides;
    bool overrides_applied = false;
  };

  void ReadNumbering(const pugi::xml_node& numbering);
  // The list that holds the levels for an instance, numbering styles followed.
  List* ListOf(Instance& instance);
  int LevelOf(const std::string& style_id, const List& list) const;
  static bool IsOutline(const List& list, bool heading);
  static ListType TypeOf(const List& list, int level, bool outline);
  static std::string Label(const List& list, int level);
  int Count(List& list, Instance& instance, int level);

  const DocxStyles& styles_;
  std::map<std::string, List, std::less<>> lists_;
  std::map<std::string, Instance, std::less<>> instances_;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCX_NUMBERING_H_
