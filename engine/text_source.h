#ifndef VELKARO_ENGINE_TEXT_SOURCE_H_
#define VELKARO_ENGINE_TEXT_SOURCE_H_

#include <string>
#include <string_view>

namespace velkaro {

// How a plain-text book is encoded, told by its leading byte-order mark.
enum class TextEncoding { kAnsi, kUtf8, kUtf16LittleEndian, kUtf16BigEndian };

// The UTF-8 mark wins; UTF-16 needs an even size; anything else is read in
// the system code page, mark bytes included.
TextEncoding DetectEncoding(std::string_view bytes);

// The letters of a plain-text file's bytes, byte-order mark left out, with
// every letter below 32 other than line feed removed.
std::u16string DecodePlainText(std::string_view bytes, TextEncoding encoding);

// The character set of a text without byte-order mark: UTF-16 when its NUL
// bytes show it, else "" for the system code page when the bytes are valid
// there, else the set guessed from the bytes when they are valid in it, else
// "" again (the undecodable bytes become U+FFFD).
std::string UnmarkedCharset(std::string_view bytes);

// The letters of a file without byte-order mark: in forced_charset when one
// is named, else in the set UnmarkedCharset tells. *charset (when given) receives the
// name of the set used when it is not the system code page. Throws Error for a
// forced_charset that iconv does not know.
std::u16string DecodeUnmarkedText(std::string_view bytes, const std::string& forced_charset,
                                  std::string* charset);

// Reads a plain-text book: UTF-8, UTF-16 LE or BE by byte-order mark, else as
// DecodeUnmarkedText. Letters below 32 other than line feed are dropped.
// When caption is given it receives the file's one-line description.
// Throws Error with the input/output message.
std::u16string LoadPlainText(const std::string& file_name, std::string* caption,
                             const std::string& forced_charset = "",
                             std::string* charset = nullptr);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_TEXT_SOURCE_H_
