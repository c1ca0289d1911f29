#ifndef VELKARO_DOCUMENTS_DOCX_NUMBERING_H_
#define VELKARO_DOCUMENTS_DOCX_NUMBERING_H_

#include <array>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "documents/document.h"

namespace velkaro {

// The list numbering of a .docx: numbering definitions, and paragraph styles
// that carry numbering themselves (heading numbering often comes that way).
// Feed it the paragraphs in order; it counts the items as a reader sees them.
class DocxNumbering {
 public:
  // Either root may be empty when the document has no such part.
  DocxNumbering(const pugi::xml_node& numbering, const pugi::xml_node& styles);

  // The list format of the next paragraph, from its properties (may be empty).
  ListFormat Next(const pugi::xml_node& paragraph_properties);

 private:
  static constexpr int kLevels = 9;
  struct Level {
    std::string format;  // "decimal", "bullet", ...; "" when not given
    int start = 0;
    bool picture_bullet = false;
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
  struct Style {
    std::string based_on;
    std::string num_id;    // "" when the style carries no numbering
    int level = -1;        // -1 when not given
    bool heading = false;  // gives its paragraphs an outline level
  };

  void ReadStyles(const pugi::xml_node& styles);
  void ReadNumbering(const pugi::xml_node& numbering);
  // The list that holds the levels for an instance, numbering styles followed.
  List* ListOf(Instance& instance);
  int LevelOf(const std::string& style_id, const List& list) const;
  bool IsHeading(const pugi::xml_node& paragraph_properties, const std::string& style_id) const;
  static bool IsOutline(const List& list, bool heading);
  static ListType TypeOf(const List& list, int level, bool outline);
  int Count(List& list, Instance& instance, int level);

  std::map<std::string, Style, std::less<>> styles_;
  std::string default_style_;
  std::map<std::string, List, std::less<>> lists_;
  std::map<std::string, Instance, std::less<>> instances_;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCX_NUMBERING_H_
