#include "engine/tags.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <optional>

#include "platform/code_page.h"

namespace velkaro {
namespace {

constexpr char16_t kMarkerStart = 1;
constexpr char16_t kMarkerEnd = 2;
constexpr char16_t kHeadingCode = 0x5000;
constexpr int kMostMarkerNumber = 4095;  // the low 12 bits of a marker's code

std::u16string_view Trimmed(std::u16string_view s) {
  while (!s.empty() && s.front() < 33) s.remove_prefix(1);
  while (!s.empty() && s.back() < 33) s.remove_suffix(1);
  return s;
}

// A whole number in decimal with an optional sign; 0 when it does not read.
int64_t ReadWholeNumber(std::u16string_view s) {
  bool negative = false;
  if (!s.empty() && (s.front() == u'-' || s.front() == u'+')) {
    negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  if (s.empty() || s.size() > 10) return 0;
  int64_t n = 0;
  for (char16_t c : s) {
    if (c < u'0' || c > u'9') return 0;
    n = n * 10 + (c - u'0');
  }
  return negative ? -n : n;
}

// 1 JPEG, 2 PNG, 3 GIF, 4 BMP by the name's ending in any case; 0 for others.
int PictureType(const std::string& name) {
  static constexpr std::array<const char*, 4> kEndings = {".jpg", ".png", ".gif", ".bmp"};
  if (name.size() < 4) return 0;
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < kEndings.size(); ++i) {
    if (ending == kEndings[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

// The marker code a tag's trimmed content stands for, appending a picture's
// name to the list; nothing for a tag that is to vanish.
std::optional<char16_t> MarkerCode(std::u16string_view content,
                                   std::vector<std::string>& pictures) {
  if (content.starts_with(u"img ")) {
    const std::string name = WideToAnsi(Trimmed(content.substr(3)));
    const int type = PictureType(name);
    std::error_code ignored;
    if (type == 0 || pictures.size() >= kMostMarkerNumber ||
        !std::filesystem::is_regular_file(name, ignored)) {
      return std::nullopt;
    }
    pictures.push_back(name);
    return static_cast<char16_t>(pictures.size() + type * 4096);
  }
  if (content.starts_with(u"p")) {
    const int64_t n = ReadWholeNumber(Trimmed(content.substr(1)));
    if (n < 1 || n > kMostMarkerNumber) return std::nullopt;
    return static_cast<char16_t>(kHeadingCode + n);
  }
  return std::nullopt;
}

}  // namespace

int AnalyseTags(std::u16string& text, std::vector<std::string>& pictures) {
  size_t out = 0;
  size_t tag_start = 0;  // where the open tag's output would begin
  bool in_tag = false;
  std::u16string content;
  int recognised = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'<') {
      // A "<" inside a tag starts the tag afresh.
      tag_start = out;
      content.clear();
      in_tag = true;
    } else if (c == u'>' && in_tag) {
      in_tag = false;
      out = tag_start;
      if (std::optional<char16_t> code = MarkerCode(Trimmed(content), pictures)) {
        // Fits: a recognised tag is longer than its marker.
        text[out++] = kMarkerStart;
        text[out++] = *code;
        text[out++] = kMarkerEnd;
        ++recognised;
      }
    } else if (in_tag) {
      content += c;
    } else {
      text[out++] = c;
    }
  }
  // A tag that never closes takes the rest of the book with it.
  text.resize(in_tag ? tag_start : out);
  return recognised;
}

std::u16string FormatText(std::u16string_view text) {
  // Runs of blanks become one blank.
  std::u16string result(text.size(), u'\0');
  size_t out = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u' ' || i == 0 || text[i - 1] != u' ') result[out++] = text[i];
  }
  result.resize(out);

  // A hyphen at a line end goes, with the line end: the word is joined. The
  // remaining passes only shrink the text, so they rewrite it in place.
  out = 0;
  for (size_t i = 0; i < result.size(); ++i) {
    if (result[i] == u'-' && i + 1 < result.size() && result[i + 1] == u'\n') {
      ++i;
    } else {
      result[out++] = result[i];
    }
  }
  result.resize(out);

  // Carriage return, line feed, x becomes blank, x; a blank after the pair
  // replaces only the line feed.
  out = 0;
  char16_t before_previous = 0;
  char16_t previous = 0;
  for (size_t i = 0; i < result.size(); ++i) {
    const char16_t c = result[i];
    if (i >= 2 && before_previous == u'\r' && previous == u'\n') {
      result[out - 1] = c;
      if (c != u' ') result[out - 2] = u' ';
    } else {
      result[out++] = c;
    }
    before_previous = previous;
    previous = c;
  }
  result.resize(out);
  return result;
}

void ExtractHeadings(std::u16string& text, std::vector<int32_t>& headings) {
  size_t out = 0;
  char16_t before_previous = 0;
  char16_t previous = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (i >= 2 && c == kMarkerEnd && before_previous == kMarkerStart &&
        (previous & 0xF000) == kHeadingCode) {
      out -= 2;
      // Positions past 2^23 letters wrap around, as the entry has 32 bits.
      headings.push_back(static_cast<int32_t>(static_cast<uint32_t>(out) * 256u + (previous & 255)));
    } else {
      text[out++] = c;
    }
    before_previous = previous;
    previous = c;
  }
  text.resize(out);
}

}  // namespace velkaro
