#include "engine/line_joiner.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/cjk_letters.h"

namespace velkaro {
namespace {

// Narrower lines are verse or lists, not a page's width.
constexpr size_t kNarrowestWrap = 40;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\u00A0' || c == u'\u3000'; }

// A line's length without its trailing blanks.
size_t VisibleLength(std::u16string_view line) {
  size_t length = line.size();
  while (length > 0 && IsBlank(line[length - 1])) --length;
  return length;
}

std::vector<std::u16string_view> Lines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  for (size_t from = 0;;) {
    const size_t end = text.find(u'\n', from);
    lines.push_back(text.substr(from, end == std::u16string_view::npos ? end : end - from));
    if (end == std::u16string_view::npos) return lines;
    from = end + 1;
  }
}

// Nearly as long as the wrap width: shorter by no more than a long word.
bool NearlyFull(size_t length, size_t width) { return length * 5 >= width * 4; }

// What takes the place of the line feed between two lines of a text
// wrapped at `width`: the line feed, a blank, or nothing.
std::u16string_view Joint(std::u16string_view line, std::u16string_view next, size_t width) {
  const size_t length = VisibleLength(line);
  if (!NearlyFull(length, width) || next.empty() || IsBlank(next[0]) || VisibleLength(next) == 0) {
    return u"\n";
  }
  // A line that ends in a blank already, or CJK, needs none.
  if (length < line.size() || (IsCjkLetter(line[length - 1]) && IsCjkLetter(next[0]))) return u"";
  return u" ";
}

}  // namespace

size_t WrapWidth(std::u16string_view text) {
  std::vector<size_t> lengths;
  for (std::u16string_view line : Lines(text)) {
    if (const size_t length = VisibleLength(line)) lengths.push_back(length);
  }
  if (lengths.empty()) return 0;
  // The usual full line: longer than all but a few lines (those that
  // overflow the wrap with a long word or a heading of their own).
  std::vector<size_t> sorted = lengths;
  const auto p95 = sorted.begin() + sorted.size() * 95 / 100;
  std::nth_element(sorted.begin(), p95, sorted.end());
  const size_t width = *p95;
  if (width < kNarrowestWrap) return 0;
  // Wrapped text fills most lines nearly to the width; paragraphs of one
  // line spread over every length.
  const auto near = std::count_if(lengths.begin(), lengths.end(), [&](size_t length) {
    return NearlyFull(length, width) && length <= width;
  });
  return static_cast<size_t>(near) * 3 >= lengths.size() ? width : 0;
}

std::u16string JoinWrappedLines(std::u16string text) {
  const size_t width = WrapWidth(text);
  if (width == 0) return text;
  // A line feed stays, turns into a blank or goes, so the joined text is
  // written over the text itself, never ahead of the line being read.
  const std::u16string_view all(text);
  const auto line_end = [&](size_t from) { return std::min(all.find(u'\n', from), all.size()); };
  size_t out = 0;
  for (size_t from = 0;;) {
    const size_t end = line_end(from);
    const std::u16string_view line = all.substr(from, end - from);
    const bool last = end == all.size();
    // Told before the line moves down over its old place.
    const std::u16string_view joint =
        last ? u"" : Joint(line, all.substr(end + 1, line_end(end + 1) - end - 1), width);
    std::char_traits<char16_t>::move(text.data() + out, line.data(), line.size());
    out += line.size();
    out = std::copy(joint.begin(), joint.end(), text.begin() + out) - text.begin();
    if (last) break;
    from = end + 1;
  }
  text.resize(out);
  return text;
}

}  // namespace velkaro
