#include "documents/base64.h"

#include <cstdint>

#include "platform/io_error.h"

namespace velkaro {
namespace {

int LetterValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string DecodeBase64(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  uint32_t group = 0;
  int letters = 0;  // letters in the group so far
  int padding = 0;  // of them, padding
  bool ended = false;
  for (const char c : text) {
    if (IsBlank(c)) continue;
    if (ended) throw Error("invalid base64");
    if (c == '=') {
      if (letters < 2) throw Error("invalid base64");
      ++padding;
    } else {
      const int value = LetterValue(c);
      if (value < 0 || padding > 0) throw Error("invalid base64");
      group = group << 6 | static_cast<uint32_t>(value);
    }
    if (++letters < 4) continue;
    group <<= 6 * padding;
    const char three[] = {static_cast<char>(group >> 16), static_cast<char>(group >> 8),
                          static_cast<char>(group)};
    bytes.append(three, 3 - padding);
    ended = padding > 0;
    letters = 0;
    group = 0;
  }
  if (letters != 0) throw Error("invalid base64");
  return bytes;
}

}  // namespace velkaro
