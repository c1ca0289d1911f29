#include "engine/ini_file.h"

#include <optional>
#include <utility>

#include "platform/code_page.h"

namespace velkaro {
namespace {

std::string_view Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}

std::string Lower(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits in the given base up to `limit`; nullopt for no digits, a stray
// letter or a larger number.
std::optional<uint64_t> ParseDigits(std::string_view digits, int base, uint64_t limit) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    int digit = HexDigit(c);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  return value;
}

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// At most `longest` bytes of a value. Values are in the system code page;
// when that is UTF-8 the cut never leaves half a letter.
std::string_view CutValue(std::string_view value, size_t longest) {
  if (value.size() <= longest) return value;
  size_t end = longest;
  if (SystemCharsetIsUtf8()) {
    size_t lead = end;
    while (lead > 0 && end - lead < 3 && IsContinuation(value[lead])) --lead;
    if (lead < end && (static_cast<unsigned char>(value[lead]) & 0xC0) == 0xC0) end = lead;
  }
  return value.substr(0, end);
}

std::string KeyLine(std::string_view name, std::string_view value) {
  std::string line(name);
  line += '=';
  line += value;
  line += "\r\n";
  return line;
}

}  // namespace

// Decimal with an optional sign, or "$" / "0x" / "0X" and up to 32 bits of
// hexadecimal ("$FFFFFFFF" is -1).
std::optional<int32_t> ParseInteger(std::string_view text) {
  bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  std::optional<uint64_t> hex;
  if (text.starts_with("$")) {
    hex = ParseDigits(text.substr(1), 16, 0xFFFFFFFFu);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    hex = ParseDigits(text.substr(2), 16, 0xFFFFFFFFu);
  } else {
    std::optional<uint64_t> decimal = ParseDigits(text, 10, negative ? 0x80000000u : 0x7FFFFFFFu);
    if (!decimal) return std::nullopt;
    int64_t value = static_cast<int64_t>(*decimal);
    return static_cast<int32_t>(negative ? -value : value);
  }
  if (!hex) return std::nullopt;
  uint32_t bits = static_cast<uint32_t>(*hex);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}

IniFile::IniFile(std::string bytes) : bytes_(std::move(bytes)) { Parse(); }

IniFile IniFile::Load(const Path& path) {
  if (StatusOf(path).kind == FileKind::kMissing) return IniFile();
  return IniFile(ReadFileBytes(path));
}

void IniFile::Save(const Path& path) const { WriteWholeFile(path, Bytes()); }

std::string IniFile::Bytes() const {
  std::string out;
  out.reserve(bytes_.size());
  size_t kept_from = 0;
  for (const Edit& edit : PendingEdits()) {
    out.append(bytes_, kept_from, edit.begin - kept_from);
    // A last line without a line end gets one before lines follow it.
    if (!edit.lines.empty() && !out.empty() && out.back() != '\n') out += "\r\n";
    out += edit.lines;
    kept_from = edit.end;
  }
  out.append(bytes_, kept_from);
  return out;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
  const Key* found = FindKey(section, key);
  if (!found) return std::string(default_value);
  std::string_view value = Trim(found->value);
  if (value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(CutValue(value, kLongestValue));
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t default_value) const {
  return ParseInteger(ReadString(section, key, "")).value_or(default_value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  auto found = section_index_.find(Lower(section));
  if (found == section_index_.end()) return names;
  for (const Key& key : sections_[found->second].keys) {
    if (!key.deleted) names.push_back(key.name);
  }
  return names;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  auto found = section_index_.find(Lower(section));
  Section& target =
      found == section_index_.end() ? AddSection(section, kNoLine) : sections_[found->second];
  auto [index, added] = target.key_index.try_emplace(Lower(key), target.keys.size());
  if (added) target.keys.emplace_back().name = key;
  Key& entry = target.keys[index->second];
  entry.value = value;
  entry.changed = true;
  entry.deleted = false;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  if (Key* found = FindKey(section, key)) {
    found->changed = true;
    found->deleted = true;
  }
}

void IniFile::Parse() {
  size_t section = kNoLine;  // index of the section the lines belong to
  size_t begin = 0;
  while (begin < bytes_.size()) {
    size_t newline = bytes_.find('\n', begin);
    size_t next = newline == std::string::npos ? bytes_.size() : newline + 1;
    size_t end = newline == std::string::npos ? bytes_.size() : newline;
    if (end > begin && bytes_[end - 1] == '\r') --end;
    ParseLine(begin, end, next, section);
    begin = next;
  }
}

void IniFile::ParseLine(size_t begin, size_t end, size_t next, size_t& section) {
  std::string_view line = Trim(std::string_view(bytes_).substr(begin, end - begin));
  if (line.empty() || line[0] == ';') return;
  if (line[0] == '[') {
    size_t close = line.rfind(']');
    if (close == std::string_view::npos) return;
    std::string_view name = Trim(line.substr(1, close - 1));
    // Lines of a repeated section are never seen, as with the profile functions.
    section = section_index_.contains(Lower(name)) ? kNoLine : sections_.size();
    if (section != kNoLine) AddSection(name, next);
    return;
  }
  size_t equals = line.find('=');
  if (equals == std::string_view::npos || section == kNoLine) return;
  Section& target = sections_[section];
  target.new_keys_at = next;
  std::string_view name = Trim(line.substr(0, equals));
  auto [index, added] = target.key_index.try_emplace(Lower(name), target.keys.size());
  if (!added) return;
  target.keys.push_back(Key{.name = std::string(name),
                            .value = std::string(line.substr(equals + 1)),
                            .line_begin = begin,
                            .line_end = next});
}

IniFile::Section& IniFile::AddSection(std::string_view name, size_t new_keys_at) {
  section_index_.emplace(Lower(name), sections_.size());
  Section& section = sections_.emplace_back();
  section.name = name;
  section.new_keys_at = new_keys_at;
  return section;
}

const IniFile::Key* IniFile::FindKey(std::string_view section, std::string_view key) const {
  auto found_section = section_index_.find(Lower(section));
  if (found_section == section_index_.end()) return nullptr;
  const Section& target = sections_[found_section->second];
  auto found_key = target.key_index.find(Lower(key));
  if (found_key == target.key_index.end()) return nullptr;
  const Key& entry = target.keys[found_key->second];
  return entry.deleted ? nullptr : &entry;
}

IniFile::Key* IniFile::FindKey(std::string_view section, std::string_view key) {
  return const_cast<Key*>(std::as_const(*this).FindKey(section, key));
}

// The edits come out in file order: sections in file order, keys in file
// order within them, new keys after a section's key lines, new sections last.
std::vector<IniFile::Edit> IniFile::PendingEdits() const {
  std::vector<Edit> edits;
  std::string new_sections;
  for (const Section& section : sections_) {
    std::string new_keys;
    for (const Key& key : section.keys) {
      if (!key.changed) continue;
      std::string line = key.deleted ? std::string() : KeyLine(key.name, key.value);
      if (key.line_begin != kNoLine) {
        edits.push_back(Edit{key.line_begin, key.line_end, std::move(line)});
      } else {
        new_keys += line;
      }
    }
    if (new_keys.empty()) continue;
    if (section.new_keys_at == kNoLine) {
      new_sections += "[" + section.name + "]\r\n" + new_keys;
    } else {
      edits.push_back(Edit{section.new_keys_at, section.new_keys_at, std::move(new_keys)});
    }
  }
  if (!new_sections.empty()) {
    edits.push_back(Edit{bytes_.size(), bytes_.size(), std::move(new_sections)});
  }
  return edits;
}

}  // namespace velkaro
