#include "documents/paragraph_collector.h"

#include <algorithm>

#include "documents/utf16_text.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

constexpr int kDeepest = 200;

}  // namespace

void CheckNesting(int depth) {
  if (depth > kDeepest) throw Error("The book is nested too deeply");
}

int OutlineLevel(int depth, int deepest) { return deepest <= 1 ? 2 : std::min(depth, 3); }

void ParagraphCollector::Text(std::string_view utf8, bool preformatted) {
  if (preformatted) {
    blank_pending_ = false;
    AppendUtf8(utf8, current_.text);
    return;
  }
  while (!utf8.empty()) {
    const auto blank = std::find_if(utf8.begin(), utf8.end(), IsXmlBlank);
    const size_t letters = blank - utf8.begin();
    if (letters > 0) {
      std::u16string& text = current_.text;
      if (blank_pending_ && !text.empty() && text.back() != u'\n') text += u' ';
      blank_pending_ = false;
      AppendUtf8(utf8.substr(0, letters), text);
    }
    const auto word = std::find_if_not(blank, utf8.end(), IsXmlBlank);
    if (word != blank) blank_pending_ = true;
    utf8.remove_prefix(word - utf8.begin());
  }
}

void ParagraphCollector::LineBreak() {
  current_.text += u'\n';
  blank_pending_ = false;
}

void ParagraphCollector::Picture(PictureSource picture) {
  if (!current_.picture) current_.picture = std::move(picture);
}

void ParagraphCollector::OutlineEntry(int level) { outline_level_ = level; }

void ParagraphCollector::Heading(int level) {
  current_.heading = outline_level_ ? outline_level_ : level;
  outline_level_ = 0;
}

void ParagraphCollector::Break() {
  blank_pending_ = false;
  std::u16string& text = current_.text;
  while (!text.empty() && text.back() == u'\n') text.pop_back();
  if (!text.empty() || current_.picture) {
    // A contents entry that leads to body text rather than to a heading
    // makes no heading of anything after it.
    if (!text.empty() && current_.heading == 0) outline_level_ = 0;
    if (text.empty()) current_.heading = 0;  // a heading needs letters
    text += u'\r';
    current_.start = position_;
    position_ += static_cast<int64_t>(text.size());
    document_.paragraphs.push_back(std::move(current_));
  }
  current_ = {};
}

Document ParagraphCollector::Finish() {
  Break();
  return std::move(document_);
}

}  // namespace velkaro
