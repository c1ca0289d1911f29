// The book project file: the persistent settings of a book in an INI file
// with the sections "Colors", "Font", "Options" and "Files". Which key holds
// which setting is told by the tables of project_keys.h.
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "engine/ini_file.h"
#include "engine/project_keys.h"
#include "engine/text_source.h"
#include "engine/velkaro.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace velkaro {
namespace {

// The picture list: "ImageFileName" + N and "ImageNote" + N, N from 1.
constexpr char kFiles[] = "Files";

std::string ImageFileKey(size_t number) { return "ImageFileName" + std::to_string(number); }
std::string ImageNoteKey(size_t number) { return "ImageNote" + std::to_string(number); }

// "ImageFileName" or "ImageNote" and a number, in any case.
bool IsPictureKey(std::string_view name) {
  std::string lower;
  for (char c : name) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  for (std::string_view prefix : {"imagefilename", "imagenote"}) {
    if (lower.size() > prefix.size() && lower.starts_with(prefix) &&
        lower.find_first_not_of("0123456789", prefix.size()) == std::string::npos) {
      return true;
    }
  }
  return false;
}

// A longer list saved before would otherwise read back behind the new one.
void DeletePictureKeys(IniFile& ini) {
  for (const std::string& name : ini.KeyNames(kFiles)) {
    if (IsPictureKey(name)) ini.DeleteKey(kFiles, name);
  }
}

// A style is never kept from before: a missing style key means plain.
std::optional<DesktopFont> ReadFont(const IniFile& ini, std::optional<DesktopFont> font) {
  if (ini.ReadInteger(kFontSection, kFontTypeKey, 0) != 0) return std::nullopt;
  DesktopFont read = font.value_or(DesktopFont());
  read.Bold = false;
  read.Italic = false;
  ReadSettings(ini, kFontKeys, read);
  return read;
}

// Settings texts are bytes in the system code page. A project file saved in
// another set (a Russian BookInfo in cp1251 read in a UTF-8 locale) is read
// by the rule of plain-text books, its mark first, and converted; *charset
// receives the set when it is not the system code page.
IniFile LoadProjectIni(const std::string& path, std::string* charset) {
  if (StatusOf(path).kind == FileKind::kMissing) return IniFile();
  std::string bytes = ReadFileBytes(path);
  std::string from;
  switch (DetectEncoding(bytes)) {
    case TextEncoding::kUtf8:
      from = "UTF-8";
      bytes.erase(0, 3);
      break;
    case TextEncoding::kUtf16LittleEndian:
    case TextEncoding::kUtf16BigEndian:
      from = DetectEncoding(bytes) == TextEncoding::kUtf16BigEndian ? "UTF-16BE" : "UTF-16LE";
      bytes.erase(0, 2);
      break;
    case TextEncoding::kAnsi:
      from = UnmarkedCharset(bytes);
      break;
  }
  if (from.empty() || (from == "UTF-8" && SystemCharsetIsUtf8())) return IniFile(std::move(bytes));
  if (charset) *charset = from;
  return IniFile(ConvertCharset(bytes, from, SystemCharset()));
}

void WriteFont(IniFile& ini, const std::optional<DesktopFont>& font) {
  if (font) WriteSettings(ini, kFontKeys, *font);
  ini.WriteInteger(kFontSection, kFontTypeKey, font ? 0 : 1);
}

}  // namespace

bool TVelkaro::LoadProject(const std::string& path, std::string* error) {
  try {
    ProjectEncoding.clear();
    const IniFile ini = LoadProjectIni(path, &ProjectEncoding);
    ReadSettings(ini, kColorKeys, *this);
    Font = ReadFont(ini, Font);
    ReadSettings(ini, kBookKeys, *this);

    // The list ends at the first empty file name; an empty note does not end it.
    ImageFiles.clear();
    ImageNotes.clear();
    for (size_t number = 1;; ++number) {
      std::string file = ini.ReadString(kFiles, ImageFileKey(number), "");
      if (file.empty()) break;
      ImageFiles.push_back(std::move(file));
      ImageNotes.push_back(ini.ReadString(kFiles, ImageNoteKey(number), ""));
    }
    return true;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
}

void TVelkaro::WriteProject(const std::string& path) const {
  IniFile ini = LoadProjectIni(path, nullptr);
  WriteSettings(ini, kColorKeys, *this);
  WriteFont(ini, Font);
  WriteSettings(ini, kBookKeys, *this);

  DeletePictureKeys(ini);
  for (size_t i = 0; i < ImageFiles.size(); ++i) {
    ini.WriteString(kFiles, ImageFileKey(i + 1), ImageFiles[i]);
    ini.WriteString(kFiles, ImageNoteKey(i + 1), i < ImageNotes.size() ? ImageNotes[i] : "");
  }
  ini.Save(path);
}

void TVelkaro::SaveProject(const std::string& path) const {
  try {
    WriteProject(path);
  } catch (const std::exception&) {
    // A build never depends on its saved project.
  }
}

}  // namespace velkaro
