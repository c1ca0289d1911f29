#include "platform/charset_guess.h"

#include <uchardet.h>

#include <algorithm>
#include <memory>

#include "platform/code_page.h"

namespace velkaro {
namespace {

// The detector reads about a megabyte a second; this much text shows the
// character set as surely as the whole book.
constexpr size_t kSampleBytes = 64 * 1024;

// The bytes from the line of the first byte beyond ASCII on: a book's ASCII
// head (a licence, a title page) tells nothing.
std::string_view Sample(std::string_view bytes) {
  const auto beyond_ascii = std::find_if(
      bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  size_t from = static_cast<size_t>(beyond_ascii - bytes.begin());
  if (from == bytes.size()) from = 0;
  const size_t line = bytes.rfind('\n', from);
  from = line == std::string_view::npos ? 0 : line + 1;
  return bytes.substr(from, kSampleBytes);
}

// A UTF-16 text has at least one ASCII letter (a blank, a line end) in this
// many, even in Chinese, and most of its NUL bytes stand on their side; the
// others come from letters such as U+3000 and U+4E00.
constexpr size_t kLettersPerAsciiLetter = 64;
constexpr size_t kNulsOnTheOtherSide = 3;  // at most one in this many

}  // namespace

std::string Utf16WithoutMark(std::string_view bytes) {
  if (bytes.size() % 2 != 0 || bytes.empty()) return "";
  const std::string_view sample = bytes.substr(0, kSampleBytes);
  size_t even = 0, odd = 0;  // NUL bytes at even and odd offsets
  for (size_t i = 0; i + 1 < sample.size(); i += 2) {
    even += sample[i] == '\0';
    odd += sample[i + 1] == '\0';
  }
  const size_t letters = sample.size() / 2;
  const size_t high = std::max(even, odd), low = std::min(even, odd);
  if (high * kLettersPerAsciiLetter < letters || low * kNulsOnTheOtherSide > high) return "";
  const std::string charset = odd > even ? "UTF-16LE" : "UTF-16BE";
  return IsValidIn(bytes, charset) ? charset : "";
}

std::string GuessCharset(std::string_view bytes) {
  std::unique_ptr<struct uchardet, void (*)(uchardet_t)> detector(uchardet_new(), uchardet_delete);
  const std::string_view sample = Sample(bytes);
  if (!detector || uchardet_handle_data(detector.get(), sample.data(), sample.size()) != 0) {
    return "";
  }
  uchardet_data_end(detector.get());
  const char* charset = uchardet_get_charset(detector.get());
  return charset ? charset : "";
}

}  // namespace velkaro
