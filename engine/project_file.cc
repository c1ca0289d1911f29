// The book project file: the persistent settings of a book in an INI file
// with the sections "Colors", "Font", "Options" and "Files".
#include <exception>
#include <string>
#include <string_view>

#include "engine/ini_file.h"
#include "engine/velkaro.h"

namespace velkaro {
namespace {

constexpr char kColors[] = "Colors";
constexpr char kFont[] = "Font";
constexpr char kOptions[] = "Options";
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

}  // namespace

bool TVelkaro::LoadProject(const std::string& path, std::string* error) {
  try {
    IniFile ini = IniFile::Load(path);
    FontColor = ini.ReadInteger(kColors, "FontColor", FontColor);
    BackColor = ini.ReadInteger(kColors, "BackColor", BackColor);

    if (ini.ReadInteger(kFont, "Type", 0) != 0) {
      Font.reset();
    } else {
      DesktopFont font = Font.value_or(DesktopFont());
      font.Size = ini.ReadInteger(kFont, "FontSize", font.Size);
      font.Name = ini.ReadString(kFont, "FontName", font.Name);
      font.Bold = ini.ReadBool(kFont, "Font.Bold", false);
      font.Italic = ini.ReadBool(kFont, "Font.Italic", false);
      Font = font;
    }

    BookMode = ini.ReadBool(kOptions, "BookMode", BookMode);
    BookName = ini.ReadString(kOptions, "BookName", BookName);
    BookInfo = ini.ReadString(kOptions, "BookInfo", BookInfo);
    PartSize = ini.ReadInteger(kOptions, "PartSize", PartSize);
    LineSpacing = ini.ReadInteger(kOptions, "LineSpacing", LineSpacing);
    CharSpacing = ini.ReadInteger(kOptions, "CharSpacing", CharSpacing);
    WordWrap = ini.ReadBool(kOptions, "WordWrap", WordWrap);
    PortraitLayout = ini.ReadBool(kOptions, "PortraitLayout", PortraitLayout);
    Format = ini.ReadBool(kOptions, "Format", Format);
    Tags = ini.ReadBool(kOptions, "Tags", Tags);
    Password = ini.ReadInteger(kOptions, "Password", Password);
    PasswordMode = ini.ReadInteger(kOptions, "PasswordMode", PasswordMode);
    ImageMode = ini.ReadInteger(kOptions, "ImageMode", ImageMode);
    ImagePngOptions = ini.ReadString(kOptions, "ImagePngOptions", ImagePngOptions);
    ImageJpgOptions = ini.ReadString(kOptions, "ImageJpgOptions", ImageJpgOptions);
    ImageSize = ini.ReadInteger(kOptions, "ImageSize", ImageSize);

    TextFileName = ini.ReadString(kFiles, "TextFileName", TextFileName);
    SplashFileName = ini.ReadString(kFiles, "SplashFileName", SplashFileName);
    IconFileName = ini.ReadString(kFiles, "IconFileName", IconFileName);

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

void TVelkaro::SaveProject(const std::string& path) const {
  try {
    IniFile ini = IniFile::Load(path);
    ini.WriteInteger(kColors, "FontColor", FontColor);
    ini.WriteInteger(kColors, "BackColor", BackColor);

    if (Font) {
      ini.WriteInteger(kFont, "FontSize", Font->Size);
      ini.WriteString(kFont, "FontName", Font->Name);
      ini.WriteBool(kFont, "Font.Bold", Font->Bold);
      ini.WriteBool(kFont, "Font.Italic", Font->Italic);
      ini.WriteInteger(kFont, "Type", 0);
    } else {
      ini.WriteInteger(kFont, "Type", 1);
    }

    ini.WriteBool(kOptions, "BookMode", BookMode);
    ini.WriteString(kOptions, "BookName", BookName);
    ini.WriteString(kOptions, "BookInfo", BookInfo);
    ini.WriteInteger(kOptions, "PartSize", PartSize);
    ini.WriteInteger(kOptions, "LineSpacing", LineSpacing);
    ini.WriteInteger(kOptions, "CharSpacing", CharSpacing);
    ini.WriteBool(kOptions, "WordWrap", WordWrap);
    ini.WriteBool(kOptions, "PortraitLayout", PortraitLayout);
    ini.WriteBool(kOptions, "Format", Format);
    ini.WriteBool(kOptions, "Tags", Tags);
    ini.WriteInteger(kOptions, "Password", Password);
    ini.WriteInteger(kOptions, "PasswordMode", PasswordMode);
    ini.WriteInteger(kOptions, "ImageMode", ImageMode);
    ini.WriteString(kOptions, "ImagePngOptions", ImagePngOptions);
    ini.WriteString(kOptions, "ImageJpgOptions", ImageJpgOptions);
    ini.WriteInteger(kOptions, "ImageSize", ImageSize);

    ini.WriteString(kFiles, "TextFileName", TextFileName);
    ini.WriteString(kFiles, "SplashFileName", SplashFileName);
    ini.WriteString(kFiles, "IconFileName", IconFileName);
    DeletePictureKeys(ini);
    for (size_t i = 0; i < ImageFiles.size(); ++i) {
      ini.WriteString(kFiles, ImageFileKey(i + 1), ImageFiles[i]);
      ini.WriteString(kFiles, ImageNoteKey(i + 1), i < ImageNotes.size() ? ImageNotes[i] : "");
    }
    ini.Save(path);
  } catch (const std::exception&) {
    // A build never depends on its saved project.
  }
}

}  // namespace velkaro
