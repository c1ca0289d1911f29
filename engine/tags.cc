#include "engine/tags.h"

#include <algorithm>
#include <optional>

#include "engine/markers.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace velkaro {
namespace {

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
  while (s.size() > 1 && s.front() == u'0') s.remove_prefix(1);  // "0004" reads as 4
  if (s.empty() || s.size() > 10) return 0;
  int64_t n = 0;
  for (char16_t c : s) {
    if (c < u'0' || c > u'9') return 0;
    n = n * 10 + (c - u'0');
  }
  return negative ? -n : n;
}

bool IsFile(const std::string& path) { return StatusOf(path).kind == FileKind::kRegular; }

// The path a picture tag's file is found at, or nothing (noted as missing).
std::optional<std::string> FindPicture(const std::string& name, PictureLookup* lookup) {
  if (IsFile(name)) return name;
  if (!lookup) return std::nullopt;
  if (!lookup->source_folder.empty() && Path(name).is_relative()) {
    const std::string beside = (Path(lookup->source_folder) / name).string();
    if (IsFile(beside)) return beside;
  }
  if (std::find(lookup->missing.begin(), lookup->missing.end(), name) == lookup->missing.end()) {
    lookup->missing.push_back(name);
  }
  return std::nullopt;
}

// The marker code a tag's trimmed content stands for, appending a picture's
// path to the list; nothing for a tag that is to vanish.
std::optional<char16_t> CodeOfTag(std::u16string_view content, std::vector<std::string>& pictures,
                                  PictureLookup* lookup) {
  if (content.starts_with(u"img ")) {
    const std::string name = WideToAnsi(Trimmed(content.substr(3)));
    const int kind = PictureKindOfName(name);
    if (kind == 0 || pictures.size() >= kMostMarkerNumber) return std::nullopt;
    std::optional<std::string> path = FindPicture(name, lookup);
    if (!path) return std::nullopt;
    pictures.push_back(*std::move(path));
    return MarkerCode(kind, static_cast<int>(pictures.size()));
  }
  if (content.starts_with(u"p")) {
    const int64_t n = ReadWholeNumber(Trimmed(content.substr(1)));
    if (n < 1 || n > kMostMarkerNumber) return std::nullopt;
    return MarkerCode(kHeadingKind, static_cast<int>(n));
  }
  return std::nullopt;
}

// Runs of blanks become one blank.
void ShrinkBlankRuns(std::u16string& text) {
  size_t out = 0;
  char16_t previous = 0;
  for (char16_t c : text) {
    text[out] = c;
    out += c != u' ' || previous != u' ';
    previous = c;
  }
  text.resize(out);
}

// A hyphen at a line end goes, with the line end: the word is joined.
void JoinHyphenatedWords(std::u16string& text) {
  size_t out = 0;
  size_t from = 0;
  for (size_t line_end = text.find(u'\n', 1); line_end != std::u16string::npos;
       line_end = text.find(u'\n', line_end + 1)) {
    if (text[line_end - 1] != u'-') continue;
    std::copy(text.begin() + from, text.begin() + (line_end - 1), text.begin() + out);
    out += line_end - 1 - from;
    from = line_end + 1;
  }
  std::copy(text.begin() + from, text.end(), text.begin() + out);
  text.resize(out + text.size() - from);
}

// Carriage return, line feed, x becomes blank, x; a blank after the pair
// replaces only the line feed. The pair is looked for in the letters as they
// were before this pass.
void JoinCarriageReturnBreaks(std::u16string& text) {
  if (text.find(u'\r') == std::u16string::npos) return;  // no plain text has any
  size_t out = 0;
  char16_t before_previous = 0;
  char16_t previous = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (i >= 2 && before_previous == u'\r' && previous == u'\n') {
      text[out - 1] = c;
      if (c != u' ') text[out - 2] = u' ';
    } else {
      text[out++] = c;
    }
    before_previous = previous;
    previous = c;
  }
  text.resize(out);
}

}  // namespace

int AnalyseTags(std::u16string& text, std::vector<std::string>& pictures, PictureLookup* lookup) {
  const size_t npos = std::u16string::npos;
  size_t out = 0;  // letters kept so far; an open tag's output would begin here
  size_t i = 0;
  int recognised = 0;
  auto keep = [&](size_t from, size_t to) {
    std::copy(text.begin() + from, text.begin() + to, text.begin() + out);
    out += to - from;
  };
  auto opens = [](char16_t c) { return c == u'<' || c == kLetterMark; };
  while (i < text.size()) {
    // Letters up to the next "<" stay, a ">" among them too.
    const size_t open_at = std::find_if(text.begin() + i, text.end(), opens) - text.begin();
    keep(i, open_at);
    if (open_at == text.size()) break;
    if (text[open_at] == kLetterMark) {  // the mark goes, the letter after it stays
      i = std::min(open_at + 2, text.size());
      keep(open_at + 1, i);
      continue;
    }
    // A "<" inside a tag starts the tag afresh; a tag never crosses a line end.
    size_t open = open_at;
    size_t close = text.find_first_of(u"<>\r\n", open + 1);
    while (close != npos && text[close] == u'<') {
      open = close;
      close = text.find_first_of(u"<>\r\n", open + 1);
    }
    // A "<" that no ">" closes on its line is a letter, and so is what follows.
    if (close == npos || text[close] != u'>') {
      i = std::min(close, text.size());
      keep(open_at, i);
      continue;
    }
    const std::u16string_view content(text.data() + open + 1, close - open - 1);
    if (std::optional<char16_t> code = CodeOfTag(Trimmed(content), pictures, lookup)) {
      // Fits: a recognised tag is longer than its marker.
      const std::u16string marker = MarkerText(*code);
      std::copy(marker.begin(), marker.end(), text.begin() + out);
      out += marker.size();
      ++recognised;
    }
    i = close + 1;
  }
  text.resize(out);
  return recognised;
}

std::u16string FormatText(std::u16string text) {
  ShrinkBlankRuns(text);
  JoinHyphenatedWords(text);
  JoinCarriageReturnBreaks(text);
  return text;
}

void ExtractHeadings(std::u16string& text, std::vector<int32_t>& headings) {
  // Every heading marker ends in a 2; the letters between markers move down.
  size_t out = 0;
  size_t from = 0;
  for (size_t end = text.find(kMarkerEnd, 2); end != std::u16string::npos;
       end = text.find(kMarkerEnd, end + 1)) {
    const char16_t code = text[end - 1];
    if (!IsMarkerAt(text, end - 2) || !IsHeadingCode(code)) continue;
    std::copy(text.begin() + from, text.begin() + (end - 2), text.begin() + out);
    out += end - 2 - from;
    from = end + 1;
    // Positions past 2^23 letters wrap around, as the entry has 32 bits.
    headings.push_back(static_cast<int32_t>(static_cast<uint32_t>(out) * 256u + (code & 255)));
  }
  std::copy(text.begin() + from, text.end(), text.begin() + out);
  text.resize(out + text.size() - from);
}

}  // namespace velkaro
