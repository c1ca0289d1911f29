#ifndef VELKARO_ENGINE_TEXT_SOURCE_H_
#define VELKARO_ENGINE_TEXT_SOURCE_H_

#include <string>

namespace velkaro {

// Reads a plain-text book: UTF-8, UTF-16 LE or BE by byte-order mark, else
// the system code page. Letters below 32 other than line feed are dropped.
// When caption is given it receives the file's one-line description.
// Throws Error with the input/output message.
std::u16string LoadPlainText(const std::string& file_name, std::string* caption);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_TEXT_SOURCE_H_
