#ifndef VELKARO_ENGINE_INI_SETTINGS_H_
#define VELKARO_ENGINE_INI_SETTINGS_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "engine/ini_file.h"

namespace velkaro {

// One setting of an object kept in an INI file: where it is stored and the
// member that holds it. A table of these is the one place that ties a file's
// keys to an object's members; reading, writing and tests all walk it.
template <typename Object>
struct IniSetting {
  using Member = std::variant<int32_t Object::*, bool Object::*, std::string Object::*>;

  std::string_view section;
  std::string_view key;
  Member member;
};

// A table of settings; the object alone names its type at a call.
template <typename Object>
using IniSettings = std::span<const IniSetting<std::type_identity_t<Object>>>;

namespace ini_settings_internal {

inline int32_t Read(const IniFile& ini, std::string_view section, std::string_view key,
                    int32_t current) {
  return ini.ReadInteger(section, key, current);
}
inline bool Read(const IniFile& ini, std::string_view section, std::string_view key, bool current) {
  return ini.ReadBool(section, key, current);
}
inline std::string Read(const IniFile& ini, std::string_view section, std::string_view key,
                        const std::string& current) {
  return ini.ReadString(section, key, current);
}

inline void Write(IniFile& ini, std::string_view section, std::string_view key, int32_t value) {
  ini.WriteInteger(section, key, value);
}
inline void Write(IniFile& ini, std::string_view section, std::string_view key, bool value) {
  ini.WriteBool(section, key, value);
}
inline void Write(IniFile& ini, std::string_view section, std::string_view key,
                  const std::string& value) {
  ini.WriteString(section, key, value);
}

}  // namespace ini_settings_internal

// Reads every setting of the table; a missing key leaves its member as it was.
template <typename Object>
void ReadSettings(const IniFile& ini, IniSettings<Object> settings, Object& object) {
  for (const IniSetting<Object>& setting : settings) {
    std::visit(
        [&](auto member) {
          object.*member =
              ini_settings_internal::Read(ini, setting.section, setting.key, object.*member);
        },
        setting.member);
  }
}

// Writes every setting of the table, in table order.
template <typename Object>
void WriteSettings(IniFile& ini, IniSettings<Object> settings, const Object& object) {
  for (const IniSetting<Object>& setting : settings) {
    std::visit(
        [&](auto member) {
          ini_settings_internal::Write(ini, setting.section, setting.key, object.*member);
        },
        setting.member);
  }
}

}  // namespace velkaro

#endif  // VELKARO_ENGINE_INI_SETTINGS_H_
