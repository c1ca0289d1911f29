#include "engine/text_source.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <exception>

#include "engine/line_joiner.h"
#include "engine/utf8_decoder.h"
#include "engine/velkaro.h"
#include "platform/charset_guess.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

size_t DecodeUtf16(std::string_view pairs, bool high_byte_first, char16_t* letters) {
  const auto* in = reinterpret_cast<const unsigned char*>(pairs.data());
  const size_t count = pairs.size() / 2;
  for (size_t i = 0; i < count; ++i, in += 2) {
    letters[i] = static_cast<char16_t>(high_byte_first ? in[0] << 8 | in[1] : in[1] << 8 | in[0]);
  }
  return count;
}

// Decodes into one buffer sized for the most letters the bytes can give, plus
// the blank that LoadSourceText appends, so that no step copies the text.
std::u16string Decode(std::string_view bytes, TextEncoding encoding) {
  std::u16string text;
  text.reserve(bytes.size() + 1);
  text.resize(bytes.size());
  switch (encoding) {
    case TextEncoding::kAnsi:  // here only when the system code page is UTF-8
      text.resize(DecodeLocaleUtf8(bytes, text.data()));
      break;
    case TextEncoding::kUtf8:
      text.resize(DecodeBookUtf8(bytes.substr(kUtf8Mark.size()), text.data()));
      break;
    case TextEncoding::kUtf16LittleEndian:
    case TextEncoding::kUtf16BigEndian:
      text.resize(
          DecodeUtf16(bytes.substr(2), encoding == TextEncoding::kUtf16BigEndian, text.data()));
      break;
  }
  return text;
}

// Keeps line feed as the one letter below 32, compacting in place.
void RemoveControlLetters(std::u16string& text) {
  std::erase_if(text, [](char16_t c) { return c < 32 && c != u'\n'; });
}

std::string InfoWord(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return "UTF8 ";
    case TextEncoding::kUtf16LittleEndian:
      return "Unicode ";
    case TextEncoding::kUtf16BigEndian:
      return "Unicode (big endian)";
    case TextEncoding::kAnsi:
      break;
  }
  return "Text ";
}

bool EndsWithTxt(const std::string& file_name) {
  constexpr std::string_view kEnding = ".txt";
  if (file_name.size() < kEnding.size()) return false;
  return std::equal(
      kEnding.begin(), kEnding.end(), file_name.end() - kEnding.size(),
      [](char want, char c) { return want == std::tolower(static_cast<unsigned char>(c)); });
}

// Says how many letters of a loaded text are replacement marks (bytes that
// did not decode, or marks that the file held already) and on which line
// the first stands; "" when there are none.
std::string UndecodedLine(std::u16string_view text) {
  const size_t first = text.find(u'\uFFFD');
  if (first == std::u16string_view::npos) return "";
  const auto count = std::count(text.begin() + first, text.end(), u'\uFFFD');
  const auto line = 1 + std::count(text.begin(), text.begin() + first, u'\n');
  return std::to_string(count) + " letters could not be decoded (first at line " +
         std::to_string(line) + ")";
}

}  // namespace

TextEncoding DetectEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return TextEncoding::kUtf8;
  if (bytes.size() % 2 == 0 && bytes.starts_with("\xFF\xFE"))
    return TextEncoding::kUtf16LittleEndian;
  if (bytes.size() % 2 == 0 && bytes.starts_with("\xFE\xFF")) return TextEncoding::kUtf16BigEndian;
  return TextEncoding::kAnsi;
}

std::u16string DecodePlainText(std::string_view bytes, TextEncoding encoding) {
  // In a UTF-8 locale the system code page is decoded here, as that is much
  // faster than the general conversion and needs no second buffer.
  std::u16string text = encoding == TextEncoding::kAnsi && !SystemCharsetIsUtf8()
                            ? AnsiToWide(bytes)
                            : Decode(bytes, encoding);
  RemoveControlLetters(text);
  return text;
}

std::string UnmarkedCharset(std::string_view bytes) {
  // Latin text in UTF-16 is valid UTF-8 too, NUL bytes and all.
  std::string charset = Utf16WithoutMark(bytes);
  if (!charset.empty()) return charset;
  const bool valid = SystemCharsetIsUtf8() ? IsValidUtf8(bytes) : IsValidIn(bytes, SystemCharset());
  if (valid) return "";
  // A guess that does not hold the bytes either is no better than the rule.
  charset = GuessCharset(bytes);
  return IsValidIn(bytes, charset) ? charset : "";
}

std::u16string DecodeUnmarkedText(std::string_view bytes, const std::string& forced_charset,
                                  std::string* charset) {
  const std::string chosen = forced_charset.empty() ? UnmarkedCharset(bytes) : forced_charset;
  if (chosen.empty()) return DecodePlainText(bytes, TextEncoding::kAnsi);
  if (!IsKnownCharset(chosen)) throw Error("Unknown text encoding " + chosen);
  std::u16string text = WideFrom(bytes, chosen);
  RemoveControlLetters(text);
  if (charset) *charset = chosen;
  return text;
}

std::u16string LoadPlainText(const std::string& file_name, std::string* caption,
                             const std::string& forced_charset, std::string* charset) {
  std::u16string text;
  std::string info;
  uint64_t size = 0;
  {
    const std::string bytes = ReadFileBytes(file_name);
    const TextEncoding encoding = DetectEncoding(bytes);
    text = encoding == TextEncoding::kAnsi ? DecodeUnmarkedText(bytes, forced_charset, charset)
                                           : DecodePlainText(bytes, encoding);
    info = InfoWord(encoding);
    size = bytes.size();
  }
  if (caption) {
    *caption = info + ", size " + std::to_string(size) + " bytes (" + std::to_string(text.size()) +
               " letters)";
  }
  return text;
}

std::u16string TVelkaro::LoadSourceText(const std::string& file_name,
                                        const std::string& work_folder, std::string* caption) {
  try {
    std::u16string text;
    if (EndsWithTxt(file_name)) {
      SourceIsPlainText = true;
      std::string charset;
      text = LoadPlainText(file_name, caption, Encoding, &charset);
      if (!charset.empty()) AddLog("Text encoding: " + charset);
      if (const std::string lost = UndecodedLine(text); !lost.empty()) AddLog(lost);
      if (JoinLines) text = JoinWrappedLines(std::move(text));
    } else {
      SourceIsPlainText = false;
      text = ImportWordDocument(file_name, work_folder, caption);
      Tags = true;
    }
    text += u' ';
    return text;
  } catch (const std::exception& e) {
    throw Error("Can not load text from file " + file_name + ", error: " + MessageOf(e));
  }
}

}  // namespace velkaro
