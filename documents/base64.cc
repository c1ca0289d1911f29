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
  // A group of 2, 3 or 4 letters gives 1, 2 or 3 bytes.
  auto end_group = [&] {
    if (letters == 1) throw Error("invalid base64");
    group <<= 6 * (4 - letters);
    const char three[] = {static_cast<char>(group >> 16), static_cast<char>(group >> 8),
                          static_cast<char>(group)};
    if (letters > 0) bytes.append(three, letters - 1);
    group = 0;
    letters = 0;
  };
  for (const char c : text) {
    if (IsBlank(c)) continue;
    if (c == '=') {  // padding ends its group; more of it is left alone
      end_group();
      continue;
    }
    const int value = LetterValue(c);
    if (value < 0) throw Error("invalid base64");
    group = group << 6 | static_cast<uint32_t>(value);
    if (++letters == 4) end_group();
  }
  end_group();
  return bytes;
}

}  // namespace velkaro
