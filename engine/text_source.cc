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

// Decodes into `letters`, which has room for one letter per byte: UTF-16
// takes two bytes a letter, UTF-8 at least one. kAnsi here only when the
// system code page is UTF-8.
size_t DecodeInto(std::string_view bytes, TextEncoding encoding, char16_t* letters) {
  switch (encoding) {
    case TextEncoding::kAnsi:
      return DecodeLocaleUtf8(bytes, letters);
    case TextEncoding::kUtf8:
      return DecodeBookUtf8(bytes.substr(kUtf8Mark.size()), letters);
    case TextEncoding::kUtf16LittleEndian:
    case TextEncoding::kUtf16BigEndian:
      return DecodeUtf16(bytes.substr(2), encoding == TextEncoding::kUtf16BigEndian, letters);
  }
  return 0;
}

// Decodes into one buffer sized for the most letters the bytes can give, plus
// the blank that LoadSourceText appends, so that no step copies the text.
std::u16string Decode(std::string_view bytes, TextEncoding encoding) {
  std::u16string text;
  text.reserve(bytes.size() + 1);
  text.resize(bytes.size());
  text.resize(DecodeInto(bytes, encoding, text.data()));
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

namespace {

// Reads a whole file into the back of `room`, which it sizes to one letter
// per byte and one more; returns where the bytes lie in it. Decoding forward
// from there into the same room never overtakes the bytes still to be read,
// as no decoder writes more letters than it has read bytes: the book is then
// never held twice, once as bytes and once as letters.
std::string_view ReadIntoBack(const std::string& file_name, std::u16string& room) {
  InputFile in(file_name);
  room.assign(in.size() + 1, u'\0');
  char* const back = reinterpret_cast<char*>(room.data() + room.size()) - in.size();
  return std::string_view(back, in.ReadUpTo(back, in.size()));  // the file may have shrunk
}

// Whether the bytes are decoded in the room they were read into; the other
// ways go through the system's conversion, which needs a buffer of its own.
// Latin text in UTF-16 without a mark is valid UTF-8 too, NUL bytes and all.
bool DecodesInPlace(std::string_view bytes, TextEncoding encoding,
                    const std::string& forced_charset) {
  if (encoding != TextEncoding::kAnsi) return true;
  return forced_charset.empty() && SystemCharsetIsUtf8() && IsValidUtf8(bytes) &&
         Utf16WithoutMark(bytes).empty();
}

}  // namespace

std::u16string LoadPlainText(const std::string& file_name, std::string* caption,
                             const std::string& forced_charset, std::string* charset) {
  std::u16string text;
  const std::string_view bytes = ReadIntoBack(file_name, text);
  const TextEncoding encoding = DetectEncoding(bytes);
  const uint64_t size = bytes.size();
  if (DecodesInPlace(bytes, encoding, forced_charset)) {
    text.resize(DecodeInto(bytes, encoding, text.data()));
    RemoveControlLetters(text);
  } else {
    const std::string own_bytes(bytes);
    std::u16string().swap(text);
    text = encoding == TextEncoding::kAnsi ? DecodeUnmarkedText(own_bytes, forced_charset, charset)
                                           : DecodePlainText(own_bytes, encoding);
  }
  if (caption) {
    *caption = InfoWord(encoding) + ", size " + std::to_string(size) + " bytes (" +
               std::to_string(text.size()) + " letters)";
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
