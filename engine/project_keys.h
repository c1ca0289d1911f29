#ifndef VELKARO_ENGINE_PROJECT_KEYS_H_
#define VELKARO_ENGINE_PROJECT_KEYS_H_

#include <string_view>

#include "engine/desktop_font.h"
#include "engine/ini_settings.h"
#include "engine/velkaro.h"

namespace velkaro {

// The keys of a book project file, in the order in which a save writes them:
// the colours, then the font section, then the options and files, then the
// numbered picture keys of "Files".

inline constexpr IniSetting<TVelkaro> kColorKeys[] = {
    {"Colors", "FontColor", &TVelkaro::FontColor},
    {"Colors", "BackColor", &TVelkaro::BackColor},
};

// The desktop font's keys, present only when the book has one; "Type" follows
// them, 0 for a desktop font and 1 for phone fonts only.
inline constexpr std::string_view kFontSection = "Font";
inline constexpr std::string_view kFontTypeKey = "Type";
inline constexpr IniSetting<DesktopFont> kFontKeys[] = {
    {kFontSection, "FontSize", &DesktopFont::Size},
    {kFontSection, "FontName", &DesktopFont::Name},
    {kFontSection, "Font.Bold", &DesktopFont::Bold},
    {kFontSection, "Font.Italic", &DesktopFont::Italic},
};

inline constexpr IniSetting<TVelkaro> kBookKeys[] = {
    {"Options", "BookMode", &TVelkaro::BookMode},
    {"Options", "BookName", &TVelkaro::BookName},
    {"Options", "BookInfo", &TVelkaro::BookInfo},
    {"Options", "PartSize", &TVelkaro::PartSize},
    {"Options", "LineSpacing", &TVelkaro::LineSpacing},
    {"Options", "CharSpacing", &TVelkaro::CharSpacing},
    {"Options", "WordWrap", &TVelkaro::WordWrap},
    {"Options", "PortraitLayout", &TVelkaro::PortraitLayout},
    {"Options", "Format", &TVelkaro::Format},
    {"Options", "Tags", &TVelkaro::Tags},
    {"Options", "Password", &TVelkaro::Password},
    {"Options", "PasswordMode", &TVelkaro::PasswordMode},
    {"Options", "ImageMode", &TVelkaro::ImageMode},
    {"Options", "ImagePngOptions", &TVelkaro::ImagePngOptions},
    {"Options", "ImageJpgOptions", &TVelkaro::ImageJpgOptions},
    {"Options", "ImageSize", &TVelkaro::ImageSize},
    {"Options", "Encoding", &TVelkaro::Encoding},
    {"Options", "JoinLines", &TVelkaro::JoinLines},
    {"Options", "StyleHeadings", &TVelkaro::StyleHeadings},
    {"Options", "MaxJarSize", &TVelkaro::MaxJarSize},
    {"Options", "Compression", &TVelkaro::Compression},
    {"Files", "TextFileName", &TVelkaro::TextFileName},
    {"Files", "SplashFileName", &TVelkaro::SplashFileName},
    {"Files", "IconFileName", &TVelkaro::IconFileName},
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PROJECT_KEYS_H_
