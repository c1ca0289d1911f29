#ifndef VELKARO_ENGINE_LINE_JOINER_H_
#define VELKARO_ENGINE_LINE_JOINER_H_

#include <string>

namespace velkaro {

// The width at which a text is hard-wrapped (its usual full line, in
// letters), or 0 when its lines do not look wrapped: poems, one paragraph per
// line, or lines too short to be a page's width.
size_t WrapWidth(std::u16string_view text);

// Joins the lines of a hard-wrapped text into paragraphs: a line feed becomes
// a blank when the line before it is nearly as long as the wrap width and the
// next line is neither empty nor indented. Between two CJK letters the line
// feed just goes, as CJK text has no blanks between words. A text that does
// not look wrapped comes back unchanged.
std::u16string JoinWrappedLines(std::u16string text);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_LINE_JOINER_H_
