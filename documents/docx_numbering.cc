#include "documents/docx_numbering.h"

#include <charconv>

#include "documents/xml_part.h"

namespace velkaro {
namespace {

// Style chains and numbering-style links are followed this far; a longer
// chain is a loop in a damaged document.
constexpr int kLongestChain = 16;

int ToInt(std::string_view text, int otherwise) {
  int value = otherwise;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() ? value : otherwise;
}

// A level's number format, also when newer producers wrap it in an
// alternate-content choice with a plain fallback.
std::string_view NumberFormat(const pugi::xml_node& level) {
  if (ChildNamed(level, "numFmt")) return ChildValue(level, "numFmt");
  const pugi::xml_node fallback = ChildNamed(ChildNamed(level, "AlternateContent"), "Fallback");
  return ChildValue(fallback, "numFmt");
}

// Outline levels 0 to 8 make headings; 9 is body text.
bool HasOutlineLevel(const pugi::xml_node& paragraph_properties) {
  return ToInt(ChildValue(paragraph_properties, "outlineLvl"), 9) < 9;
}

}  // namespace

DocxNumbering::DocxNumbering(const pugi::xml_node& numbering, const pugi::xml_node& styles) {
  ReadStyles(styles);
  ReadNumbering(numbering);
  for (const auto& [id, style] : styles_) {
    const auto instance = instances_.find(style.num_id);
    if (instance == instances_.end()) continue;
    if (List* list = ListOf(instance->second)) list->used_by_style = true;
  }
}

void DocxNumbering::ReadStyles(const pugi::xml_node& styles) {
  for (const pugi::xml_node node : styles.children()) {
    if (!IsNamed(node, "style")) continue;
    const std::string id = AttributeNamed(node, "styleId").value();
    Style style;
    style.based_on = ChildValue(node, "basedOn");
    const pugi::xml_node numbering = ChildNamed(ChildNamed(node, "pPr"), "numPr");
    style.num_id = ChildValue(numbering, "numId");
    style.level = ToInt(ChildValue(numbering, "ilvl"), -1);
    style.heading = HasOutlineLevel(ChildNamed(node, "pPr"));
    const std::string_view type = AttributeNamed(node, "type").value();
    const std::string_view is_default = AttributeNamed(node, "default").value();
    if (type == "paragraph" && (is_default == "1" || is_default == "true")) default_style_ = id;
    styles_[id] = std::move(style);
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
        level.start = ToInt(ChildValue(level_node, "start"), 0);
        level.picture_bullet = bool(ChildNamed(level_node, "lvlPicBulletId"));
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
    const auto style = styles_.find(list->second.numbering_style);
    if (step == kLongestChain || style == styles_.end()) return nullptr;
    const auto linked = instances_.find(style->second.num_id);
    if (linked == instances_.end()) return nullptr;
    list = lists_.find(linked->second.list_id);
  }
  return list == lists_.end() ? nullptr : &list->second;
}

int DocxNumbering::LevelOf(const std::string& style_id, const List& list) const {
  std::string id = style_id;
  for (int step = 0; step < kLongestChain && !id.empty(); ++step) {
    const auto level = list.level_of_style.find(id);
    if (level != list.level_of_style.end()) return level->second;
    const auto style = styles_.find(id);
    if (style == styles_.end()) break;
    id = style->second.based_on;
  }
  return 0;
}

bool DocxNumbering::IsHeading(const pugi::xml_node& paragraph_properties,
                              const std::string& style_id) const {
  if (HasOutlineLevel(paragraph_properties)) return true;
  std::string id = style_id;
  for (int step = 0; step < kLongestChain && !id.empty(); ++step) {
    const auto style = styles_.find(id);
    if (style == styles_.end()) break;
    if (style->second.heading) return true;
    id = style->second.based_on;
  }
  return false;
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

ListFormat DocxNumbering::Next(const pugi::xml_node& paragraph_properties) {
  std::string style_id = std::string(ChildValue(paragraph_properties, "pStyle"));
  if (style_id.empty()) style_id = default_style_;
  const pugi::xml_node own = ChildNamed(paragraph_properties, "numPr");
  std::string num_id = std::string(ChildValue(own, "numId"));
  int level = ToInt(ChildValue(own, "ilvl"), -1);
  std::string id = style_id;
  for (int step = 0; step < kLongestChain && num_id.empty() && !id.empty(); ++step) {
    const auto style = styles_.find(id);
    if (style == styles_.end()) break;
    num_id = style->second.num_id;
    if (!num_id.empty() && level < 0) level = style->second.level;
    id = style->second.based_on;
  }
  const auto instance = instances_.find(num_id);
  if (num_id.empty() || num_id == "0" || instance == instances_.end()) return {};
  List* list = ListOf(instance->second);
  if (!list) return {};
  if (level < 0) level = LevelOf(style_id, *list);
  if (level >= kLevels) level = kLevels - 1;
  ListFormat format;
  format.value = Count(*list, instance->second, level);
  format.type = TypeOf(*list, level, IsOutline(*list, IsHeading(paragraph_properties, style_id)));
  format.level = level + 1;
  return format;
}

}  // namespace velkaro
