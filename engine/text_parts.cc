#include "engine/text_parts.h"

#include <algorithm>
#include <vector>

#include "engine/markers.h"

namespace velkaro {
namespace {

// Moves an end that would split a picture marker before the marker, or past
// it when the part would otherwise be empty.
size_t KeepMarkerWhole(std::u16string_view text, size_t start, size_t end) {
  for (size_t back = 1; back < kMarkerLength && back <= end; ++back) {
    const size_t marker = end - back;
    if (marker >= start && IsMarkerAt(text, marker)) {
      return marker > start ? marker : marker + kMarkerLength;
    }
  }
  return end;
}

// The most parts a text of `length` letters can make: ceil(length / part_size).
int PartCount(size_t length, int32_t part_size) {
  return static_cast<int>((length + part_size - 1) / part_size);
}

// Whether enough letters remain after `end` to make another part.
bool AnotherPartFollows(size_t length, size_t end) { return length - end > kMostLeftOver; }

// Counts every letter in a table of one counter per code, kept from call to
// call and left all zero again: a fresh table of this size would be paged in
// anew for every part of a large book.
std::vector<uint32_t>& LetterCounts() {
  thread_local std::vector<uint32_t> counts(65536, 0);
  return counts;
}

// The letters counted so far, most frequent first; stable, so the lower code
// wins a tie. Leaves every count zero.
std::u16string TableOfCounts(std::vector<uint32_t>& counts) {
  std::u16string table;
  for (size_t code = 0; code < counts.size(); ++code) {
    if (counts[code] > 0) table += static_cast<char16_t>(code);
  }
  std::stable_sort(table.begin(), table.end(),
                   [&](char16_t a, char16_t b) { return counts[a] > counts[b]; });
  for (char16_t c : table) counts[c] = 0;
  return table;
}

}  // namespace

// CJK books use their own full stops and marks.
bool EndsAPart(char16_t c) {
  switch (c) {
    case u'\n':
    case u'.':
    case u'!':
    case u'?':
    case u'\u3002':  // 。
    case u'\uFF01':  // ！
    case u'\uFF1F':  // ？
    case u'\uFF0E':  // ．
      return true;
    default:
      return false;
  }
}

size_t FindPartEnd(std::u16string_view text, size_t start, int32_t part_size, bool last) {
  if (last || start >= text.size()) return text.size();
  const size_t window_end = std::min(text.size(), start + static_cast<size_t>(part_size));
  size_t end = window_end;  // no place to cut: the window's last letter ends the part
  for (size_t i = window_end; i > start; --i) {
    if (EndsAPart(text[i - 1])) {
      end = i;
      break;
    }
  }
  return KeepMarkerWhole(text, start, end);
}

PartPlan PlanParts(std::u16string_view text, int32_t part_size) {
  PartPlan plan;
  plan.count = PartCount(text.size(), part_size);
  size_t start = 0;
  for (int number = 1; number <= plan.count; ++number) {
    start = FindPartEnd(text, start, part_size, number == plan.count);
    plan.ends.push_back(start);
    if (!AnotherPartFollows(text.size(), start)) break;
  }
  return plan;
}

void ForEachPart(std::u16string_view text, const PartPlan& plan,
                 const std::function<void(const TextPart&)>& handle) {
  size_t start = 0;
  for (size_t i = 0; i < plan.ends.size(); ++i) {
    const size_t end = plan.ends[i];
    handle(
        TextPart{static_cast<int>(i) + 1, plan.count, start, end, text.substr(start, end - start)});
    start = end;
  }
}

void ForEachPart(std::u16string_view text, int32_t part_size,
                 const std::function<void(const TextPart&)>& handle) {
  ForEachPart(text, PlanParts(text, part_size), handle);
}

std::u16string BuildLetterTable(std::u16string_view text) {
  std::vector<uint32_t>& counts = LetterCounts();
  for (char16_t c : text) ++counts[c];
  return TableOfCounts(counts);
}

std::u16string BuildLetterTableWithoutMarkers(std::u16string_view part) {
  std::vector<uint32_t>& counts = LetterCounts();
  for (char16_t c : part) ++counts[c];
  for (size_t i = part.find(kMarkerStart); i != std::u16string_view::npos;
       i = part.find(kMarkerStart, i + 1)) {
    if (!IsMarkerAt(part, i)) continue;
    for (char16_t c : part.substr(i, kMarkerLength)) --counts[c];
    i += kMarkerLength - 1;
  }
  return TableOfCounts(counts);
}

std::string WriteTextPart(std::u16string_view letters, const Path& file, int32_t password) {
  std::string bytes = BookFileBytes(letters, password);
  WriteWholeFile(file, bytes);
  return bytes;
}

std::string BookFileBytes(std::u16string_view letters, int32_t password) {
  const auto mask = static_cast<char16_t>(password & 0xFFFF);
  std::string bytes(letters.size() * 2, '\0');
  for (size_t i = 0; i < letters.size(); ++i) {
    const char16_t x = letters[i] ^ mask;
    bytes[2 * i] = static_cast<char>(x >> 8);
    bytes[2 * i + 1] = static_cast<char>(x & 0xFF);
  }
  return bytes;
}

}  // namespace velkaro
