#ifndef VELKARO_DOCUMENTS_LIST_NUMBERS_H_
#define VELKARO_DOCUMENTS_LIST_NUMBERS_H_

#include <string>
#include <string_view>

namespace velkaro {

// A list item's or a note's number as word processors write it, by the name
// of its format: "decimal", "decimalZero" (01 to 09), "lowerLetter" and
// "upperLetter" (a to z, then aa, bb, ...), "lowerRoman" and "upperRoman".
// Every other format, and any number below 1 in letters or roman figures,
// is written in decimal.
std::string NumberText(int value, std::string_view format);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_LIST_NUMBERS_H_
