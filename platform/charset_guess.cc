#include "platform/charset_guess.h"

#include <uchardet.h>

#include <algorithm>
#include <memory>

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

}  // namespace

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
