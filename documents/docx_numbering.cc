#include "documents/docx_numbering.h"

#include "documents/list_numbers.h"
#include "documents/xml_part.h"

namespace velkaro {
namespace {

// Style chains and numbering-style links are followed this far; a longer
// chain is a loop in a damaged document.
constexpr int kLongestChain = 16;

// A level's number format, also when newer producers wrap it in an
// alternate-content choice with a plain fallback.
std::string_view NumberFormat(const pugi::xml_node& level) {
  if (ChildNamed(level, "numFmt")) return ChildValue(level, "numFmt");
  const pugi::xml_node fallback = ChildNamed(ChildNamed(level, "AlternateContent"), "Fallback");
  return ChildValue(fallback, "numFmt");
}

}  // namespace

DocxNumbering::DocxNumbering(const pugi::xml_node& numbering, const DocxStyles& styles)
    : styles_(styles) {
  ReadNumbering(numbering);
  for (const auto& [id, style] : styles_.all()) {
    const auto instance = instances_.find(style.num_id);
    if (instance == instances_.end()) continue;
    if (List* list = ListOf(instance->second)) list->used_by_style = true;
  }
}

void DocxNumbering::ReadNumbering(const pugi::xml_node& numbering) {
  for (const pugi::xml_node node : numbering.children()) {
    if (IsNamed(node, "abstractNum")) {
      List& list = lists_[AttributeNamed(node, "abstractNumId").value()];
      list.multi_level_type = ChildValue(node, "multiLevelType");
      list.numbering_style = ChildValue(node, "numStyleLink");
      for (const pugi::xml_node level_node : node.children()) {
        if (!IsNamed(level_node, "lvl")) continue;
        const int index = ToInt(AttributeNamed(level_node, "ilvl").value(), -1);
        if (index < 0 || index >= kLevels) continue;
        Level& level = list.levels[index];
        level.format = NumberFormat(level_node);
        level.text = ChildValue(level_node, "lvlText");
        level.start = ToInt(ChildValue(level_node, "start"), 0);
        level.picture_bullet = bool(ChildNamed(level_node, "lvlPicBulletId"));
        const pugi::xml_node legal = ChildNamed(level_node, "isLgl");
        level.legal = legal && std::string_view(AttributeNamed(legal, "val").value()) != "0";
        level.blank_after = ChildValue(level_node, "suff") != "nothing";
        const std::string_view style = ChildValue(level_node, "pStyle");
        if (!style.empty()) list.level_of_style.emplace(style, index);
      }
    } else if (IsNamed(node, "num")) {
      Instance& instance = instances_[AttributeNamed(node, "numId").value()];
      instance.list_id = ChildValue(node, "abstractNumId");
      for (const pugi::xml_node change : node.children()) {
        if (!IsNamed(change, "lvlOverride") || !ChildNamed(change, "startOverride")) continue;
        const int index = ToInt(AttributeNamed(change, "ilvl").value(), -1);
        if (index >= 0 && index < kLevels) {
          instance.start_overrides[index] = ToInt(ChildValue(change, "startOverride"), 0);
        }
      }
    }
  }
}

DocxNumbering::List* DocxNumbering::ListOf(Instance& instance) {
  auto list = lists_.find(instance.list_id);
  for (int step = 0; list != lists_.end() && !list->second.numbering_style.empty(); ++step) {
    std::string_view num_id;
    styles_.Walk(list->second.numbering_style, [&](const DocxStyles::Style& style) {
      num_id = style.num_id;
      return true;
    });
    const auto linked = instances_.find(num_id);
    if (step == kLongestChain || linked == instances_.end()) return nullptr;
    list = lists_.find(linked->second.list_id);
  }
  return list == lists_.end() ? nullptr : &list->second;
}

// The level a list binds to the style, or to a style it is based on.
int DocxNumbering::LevelOf(const std::string& style_id, const List& list) const {
  auto bound = list.level_of_style.find(style_id);
  styles_.Walk(style_id, [&](const DocxStyles::Style& style) {
    if (bound == list.level_of_style.end()) bound = list.level_of_style.find(style.based_on);
    return bound != list.level_of_style.end();
  });
  return bound == list.level_of_style.end() ? 0 : bound->second;
}

// Multi-level numbering as headings use it. Producers that never write the
// multi-level type show it by binding levels to styles, by numbering through
// a paragraph style, or by numbering a heading.
bool DocxNumbering::IsOutline(const List& list, bool heading) {
  const std::string_view first_format = list.levels[0].format;
  if (first_format == "bullet" || first_format == "none") return false;
  if (list.multi_level_type == "multilevel") return true;
  return list.multi_level_type.empty() &&
         (!list.level_of_style.empty() || list.used_by_style || heading);
}

ListType DocxNumbering::TypeOf(const List& list, int level, bool outline) {
  if (outline) return ListType::kOutlineNumbering;
  if (list.levels[level].picture_bullet) return ListType::kPictureBullet;
  if (list.levels[level].format == "bullet") return ListType::kBullet;
  return ListType::kSimpleNumbering;
}

// The level's text with each "%n" replaced by the number of level n, in
// that level's format (in decimal for legal numbering).
std::string DocxNumbering::Label(const List& list, int level) {
  const Level& own = list.levels[level];
  if (own.format == "bullet" || own.format == "none" || own.picture_bullet) return "";
  std::string label;
  const std::string_view text = own.text;
  for (size_t i = 0; i < text.size(); ++i) {
    const int shown = i + 1 < text.size() && text[i] == '%' ? text[i + 1] - '1' : -1;
    if (shown < 0 || shown > level) {
      label += text[i];
      continue;
    }
    const int value = list.counting[shown] ? list.counters[shown] : list.levels[shown].start;
    label += NumberText(value, own.legal ? "decimal" : list.levels[shown].format);
    ++i;
  }
  if (!label.empty() && own.blank_after) label += ' ';
  return label;
}

// Items of one list count on across its instances; an instance that restarts
// a level does so where it is first used. A level's item restarts the levels
// below it.
int DocxNumbering::Count(List& list, Instance& instance, int level) {
  if (!instance.overrides_applied) {
    instance.overrides_applied = true;
    for (const auto& [index, start] : instance.start_overrides) {
      list.counters[index] = start - 1;
      list.counting[index] = true;
    }
  }
  int& counter = list.counters[level];
  counter = list.counting[level] ? counter + 1 : list.levels[level].start;
  list.counting[level] = true;
  for (int deeper = level + 1; deeper < kLevels; ++deeper) list.counting[deeper] = false;
  return counter;
}

DocxNumbering::Item DocxNumbering::Next(const pugi::xml_node& paragraph_properties) {
  const std::string style_id = styles_.StyleOf(paragraph_properties);
  const pugi::xml_node own = ChildNamed(paragraph_properties, "numPr");
  std::string num_id = std::string(ChildValue(own, "numId"));
  int level = ToInt(ChildValue(own, "ilvl"), -1);
  if (num_id.empty()) {
    styles_.Walk(style_id, [&](const DocxStyles::Style& style) {
      num_id = style.num_id;
      if (!num_id.empty() && level < 0) level = style.num_level;
      return !num_id.empty();
    });
  }
  const auto instance = instances_.find(num_id);
  if (num_id.empty() || num_id == "0" || instance == instances_.end()) return {};
  List* list = ListOf(instance->second);
  if (!list) return {};
  if (level < 0) level = LevelOf(style_id, *list);
  if (level >= kLevels) level = kLevels - 1;
  Item item;
  item.format.value = Count(*list, instance->second, level);
  const bool heading = styles_.OutlineLevel(paragraph_properties) < DocxStyles::kBodyText;
  item.format.type = TypeOf(*list, level, IsOutline(*list, heading));
  item.format.level = level + 1;
  item.label = Label(*list, level);
  return item;
}

}  // namespace velkaro
