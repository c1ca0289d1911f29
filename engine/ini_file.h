#ifndef VELKARO_ENGINE_INI_FILE_H_
#define VELKARO_ENGINE_INI_FILE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/files.h"

namespace velkaro {

// An INI file read and written the way the Windows profile functions do it:
// "[Section]" header lines and "key=value" lines, names matched without
// regard to ASCII case, keys and values trimmed of blanks, lines starting
// with ";" ignored, LF or CR LF line ends. Only the first section of a name
// and the first key of a name within it count.
//
// The loaded bytes stay untouched; writes are kept beside them and applied
// by Save: a changed key is rewritten where it stands, a new key goes after
// its section's last key line, a new section goes to the end, and every
// other line is kept byte for byte. Lines that we write end in CR LF.
//
// Texts are bytes in the system code page; a NUL byte is an ordinary byte.
// An integer as settings files and number fields hold it: decimal with an
// optional sign, or "$" / "0x" and up to 32 bits of hexadecimal ("$FFFFFFFF"
// is -1). Nothing for any other text.
std::optional<int32_t> ParseInteger(std::string_view text);

class IniFile {
 public:
  // A file without keys.
  IniFile() = default;
  explicit IniFile(std::string bytes);

  // A missing file loads as a file without keys; one that cannot be read
  // throws Error with the input/output message.
  static IniFile Load(const Path& path);
  // Throws Error with the input/output message.
  void Save(const Path& path) const;
  std::string Bytes() const;

  // At most kLongestValue bytes; a value enclosed in matching double or
  // single quotes loses them.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;
  // Decimal, "$" + hex or "0x" + hex; anything else yields the default.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t default_value) const;
  bool ReadBool(std::string_view section, std::string_view key, bool default_value) const;
  // The names of the section's keys as spelled in the file, in file order
  // (keys new to the file last).
  std::vector<std::string> KeyNames(std::string_view section) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void DeleteKey(std::string_view section, std::string_view key);

  static constexpr size_t kLongestValue = 2047;

 private:
  static constexpr size_t kNoLine = static_cast<size_t>(-1);

  struct Key {
    std::string name;
    std::string value;            // the text after "=", as written
    size_t line_begin = kNoLine;  // the key's line in the loaded bytes, end of line included
    size_t line_end = kNoLine;
    bool changed = false;
    bool deleted = false;
  };

  struct Section {
    std::string name;
    size_t new_keys_at = kNoLine;  // after the last key line; kNoLine for a new section
    std::vector<Key> keys;
    std::unordered_map<std::string, size_t> key_index;  // lower-case name to keys
  };

  // An edit of the loaded bytes: [begin, end) becomes the given lines.
  struct Edit {
    size_t begin;
    size_t end;
    std::string lines;
  };

  void Parse();
  // One line [begin, end) whose successor starts at next; section is the
  // index of the section the line belongs to, or kNoLine.
  void ParseLine(size_t begin, size_t end, size_t next, size_t& section);
  Section& AddSection(std::string_view name, size_t new_keys_at);
  const Key* FindKey(std::string_view section, std::string_view key) const;
  Key* FindKey(std::string_view section, std::string_view key);
  std::vector<Edit> PendingEdits() const;

  std::string bytes_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> section_index_;  // lower-case name to sections
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_INI_FILE_H_
