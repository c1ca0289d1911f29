#include "documents/paragraph_collector.h"

#include <algorithm>

#include "documents/utf16_text.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

constexpr int kDeepest = 200;

char16_t Lowered(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return Lowered(x) == Lowered(y); });
}

// Letters 1 and 2 stand for objects in a word processor's text; a book's
// text must not carry them, whatever its markup held.
void AppendLetters(std::string_view utf8, std::u16string& text) {
  const size_t from = text.size();
  AppendUtf8(utf8, text);
  text.erase(std::remove_if(text.begin() + static_cast<ptrdiff_t>(from), text.end(),
                            [](char16_t c) { return c == 1 || c == 2; }),
             text.end());
}

}  // namespace

void CheckNesting(int depth) {
  if (depth > kDeepest) throw Error("The book is nested too deeply");
}

int OutlineLevel(int depth, int deepest) { return deepest <= 1 ? 2 : std::min(depth, 3); }

void ParagraphCollector::Text(std::string_view utf8, bool preformatted) {
  if (preformatted) {
    blank_pending_ = false;
    if (!utf8.empty()) StartLetters();
    AppendLetters(utf8, current_.text);
    return;
  }
  while (!utf8.empty()) {
    const auto blank = std::find_if(utf8.begin(), utf8.end(), IsXmlBlank);
    const size_t letters = blank - utf8.begin();
    if (letters > 0) {
      StartLetters();
      std::u16string& text = current_.text;
      if (blank_pending_ && !text.empty() && text.back() != u'\n') text += u' ';
      blank_pending_ = false;
      AppendLetters(utf8.substr(0, letters), text);
    }
    const auto word = std::find_if_not(blank, utf8.end(), IsXmlBlank);
    if (word != blank) blank_pending_ = true;
    utf8.remove_prefix(word - utf8.begin());
  }
}

void ParagraphCollector::ItemLabel(std::string_view label) { label_ = label; }

void ParagraphCollector::StartLetters() {
  if (label_.empty() || !current_.text.empty()) return;
  AppendUtf8(label_, current_.text);
  current_.text += u' ';
  label_.clear();
  blank_pending_ = false;
}

void ParagraphCollector::LineBreak() {
  current_.text += u'\n';
  blank_pending_ = false;
}

void ParagraphCollector::Picture(PictureSource picture) {
  current_.pictures.push_back(std::move(picture));
}

void ParagraphCollector::OutlineEntry(int level) { outline_level_ = level; }

void ParagraphCollector::Heading(int level) {
  current_.heading = outline_level_ ? outline_level_ : level;
  outline_level_ = 0;
}

void ParagraphCollector::OutlineHeading(std::string_view label, int level) {
  Break();
  const size_t index = document_.paragraphs.size();
  Text(label);
  current_.heading = level;
  Break();
  if (document_.paragraphs.size() > index) outline_heading_ = index;
}

void ParagraphCollector::Break() {
  blank_pending_ = false;
  std::u16string& text = current_.text;
  while (!text.empty() && text.back() == u'\n') text.pop_back();
  if (!text.empty() || !current_.pictures.empty()) {
    // A contents entry that leads to body text rather than to a heading
    // makes no heading of anything after it.
    if (!text.empty() && current_.heading == 0) outline_level_ = 0;
    if (text.empty()) current_.heading = 0;  // a heading needs letters
    text += u'\r';
    Add();
  }
  current_ = {};
}

// A heading made from a contents entry gives way to a paragraph of the same
// words right after it, which becomes the heading instead.
void ParagraphCollector::Add() {
  if (outline_heading_) {
    Paragraph& heading = document_.paragraphs[*outline_heading_];
    if (*outline_heading_ + 1 == document_.paragraphs.size() &&
        EqualIgnoringCase(heading.text, current_.text)) {
      current_.heading = heading.heading;
      position_ = heading.start;
      document_.paragraphs.pop_back();
    }
    outline_heading_.reset();
  }
  current_.start = position_;
  position_ += static_cast<int64_t>(current_.text.size());
  document_.paragraphs.push_back(std::move(current_));
}

void ParagraphCollector::BlankLine() {
  Break();
  current_.text.assign(1, u'\r');
  Add();
  current_ = {};
}

Document ParagraphCollector::Finish() {
  Break();
  return std::move(document_);
}

}  // namespace velkaro
