#include "engine/config_file.h"

#include "engine/build_steps.h"
#include "platform/code_page.h"

namespace velkaro {
namespace {

void WriteColor(ConfigWriter& out, int32_t color) {
  out.WriteInt32(color & 0xFF);
  out.WriteInt32((color >> 8) & 0xFF);
  out.WriteInt32((color >> 16) & 0xFF);
}

std::u16string ToolName(const TVelkaro& book) { return AnsiToWide("Velkaro " + book.FileVersion); }

}  // namespace

void ConfigWriter::WriteInt32(int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8) bytes_.push_back(static_cast<char>(v >> shift));
}

void ConfigWriter::WriteWideText(std::u16string_view text) {
  WriteInt32(static_cast<int32_t>(text.size()));
  for (char16_t unit : text) {
    bytes_.push_back(static_cast<char>(unit >> 8));
    bytes_.push_back(static_cast<char>(unit & 0xFF));
  }
}

std::u16string FontDescription(const TVelkaro& book) {
  if (!book.Font) return u"Phone font";
  return AnsiToWide(book.Font->Name + ", " + std::to_string(book.Font->Size));
}

int32_t PasswordCheckValue(std::u16string_view text, int32_t password) {
  uint32_t h = 0;
  for (uint32_t k = 1; k <= 16; ++k) {
    uint32_t unit = k <= text.size() ? text[k - 1] : 0;
    h = (h * 2) ^ ((unit ^ static_cast<uint32_t>(password) ^ (k - 1)) & 0xFFFF);
  }
  return static_cast<int32_t>(h);
}

std::string TextBookConfig(const TVelkaro& book, int32_t password, int32_t part_length,
                           const std::vector<int32_t>& headings, const std::string& short_version) {
  ConfigWriter out;
  out.WriteInt32(part_length);
  out.WriteInt32(book.LineSpacing);
  out.WriteInt32(book.CharSpacing);
  out.WriteInt32(book.WordWrap ? 1 : 0);
  out.WriteInt32(book.PortraitLayout ? 1 : 0);
  WriteColor(out, book.BackColor);
  WriteColor(out, book.FontColor);
  std::u16string info = AnsiToWide(book.BookInfo);
  std::u16string font = FontDescription(book);
  std::u16string tool = ToolName(book);
  out.WriteWideText(info);
  out.WriteWideText(font);
  out.WriteWideText(tool);
  out.WriteWideText(AnsiToWide(short_version));
  out.WriteInt32(PasswordCheckValue(info + font + tool, password));
  out.WriteInt32(book.PasswordMode);
  out.WriteInt32(static_cast<int32_t>(headings.size()));
  for (int32_t entry : headings) out.WriteInt32(entry);
  return out.bytes();
}

std::string PhotoBookConfig(const TVelkaro& book, const std::vector<std::string>& extensions,
                            const std::string& short_version) {
  ConfigWriter out;
  out.WriteInt32(static_cast<int32_t>(book.ImageFiles.size()));
  WriteColor(out, book.BackColor);
  out.WriteWideText(AnsiToWide(book.BookInfo));
  out.WriteWideText(AnsiToWide(short_version));
  for (size_t i = 0; i < book.ImageFiles.size(); ++i) {
    out.WriteWideText(AnsiToWide(i < extensions.size() ? extensions[i] : ""));
    out.WriteWideText(AnsiToWide(i < book.ImageNotes.size() ? book.ImageNotes[i] : ""));
  }
  return out.bytes();
}

}  // namespace velkaro
