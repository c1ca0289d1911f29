#include "documents/utf16_text.h"

#include <cstdint>

namespace velkaro {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `i` and moves `i` past it.
char32_t DecodeOne(std::string_view utf8, size_t& i) {
  const auto lead = static_cast<unsigned char>(utf8[i++]);
  if (lead < 0x80) return lead;
  int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (more < 0 || lead > 0xF4) return kReplacement;
  char32_t code = lead & (0x3F >> more);
  for (; more > 0; --more, ++i) {
    if (i >= utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
      return kReplacement;
    }
    code = code << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
  }
  return code;
}

}  // namespace

size_t AppendUtf8(std::string_view utf8, std::u16string& text) {
  const size_t before = text.size();
  for (size_t i = 0; i < utf8.size();) {
    const char32_t code = DecodeOne(utf8, i);
    if (code > 0x10FFFF) {
      text += static_cast<char16_t>(kReplacement);
    } else if (code < 0x10000) {
      text += static_cast<char16_t>(code);
    } else {
      text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
  }
  return text.size() - before;
}

size_t Utf16Length(std::string_view utf8) {
  size_t length = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++length;  // a lead byte or a single one
    if (byte >= 0xF0) ++length;           // past 0xFFFF: a surrogate pair
  }
  return length;
}

}  // namespace velkaro
