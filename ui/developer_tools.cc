#include "ui/developer_tools.h"

#include <cstdio>

#include "engine/font_files.h"
#include "engine/tags.h"
#include "engine/text_parts.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace velkaro {
namespace {

constexpr size_t kBytesPerLine = 20;

std::string HexByte(uint8_t value) {
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", value);
  return digits;
}

}  // namespace

void ExportHex(const std::string& path) {
  InputFile input(path);
  OutputFile output(path + ".imp");
  output.Write("  array [1.." + std::to_string(input.size()) + "] of byte = (");
  size_t k = 0;
  uint8_t block[kBytesPerLine];
  while (size_t count = input.Read(block, sizeof block)) {
    std::string line = "  ";
    for (size_t i = 0; i < count; ++i, ++k) {
      line += (k == 0 ? "$" : ",$") + HexByte(block[i] ^ static_cast<uint8_t>(k & 0xFF));
    }
    output.Write(line + "\r\n");
  }
  output.Write(");\r\n");
  output.Close();
}

std::vector<std::string> TextTestLines() {
  const std::string word = "\xCF\xF0\xEE\xE2\xE5\xF0\xEA\xE0 01";
  const std::u16string wide = AnsiToWide(word);
  std::vector<std::string> lines = {std::to_string(wide.size()), WideToAnsi(wide)};
  for (char16_t letter : wide) {
    char code[5];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(letter));
    lines.push_back(std::string(code) + " " + WideToAnsi(std::u16string(1, letter)));
  }
  return lines;
}

void FontTest(TVelkaro& book, const std::string& source, const DesktopFont& font) {
  const std::u16string text = FormatText(book.LoadSourceText(source, book.TempFolder, nullptr));
  FontFileMaker(font).CreateFontFiles(BuildLetterTable(text), source + ".fdat",
                                      [](const std::string&) {});
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t letter : text) {
    bytes += static_cast<char>(letter >> 8);
    bytes += static_cast<char>(letter & 0xFF);
  }
  OutputFile output(source + ".tdat");
  output.Write(bytes);
  output.Close();
}

}  // namespace velkaro
