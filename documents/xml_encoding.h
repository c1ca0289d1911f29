#ifndef VELKARO_DOCUMENTS_XML_ENCODING_H_
#define VELKARO_DOCUMENTS_XML_ENCODING_H_

#include <string>

namespace velkaro {

// The bytes of an XML file in UTF-8: a UTF-16 byte-order mark, or else the
// encoding its declaration names (windows-1251, koi8-r, ...), is honoured.
// Unknown encodings leave the bytes as they are.
std::string XmlAsUtf8(std::string bytes);

// The bytes of an HTML page in UTF-8: a byte-order mark, or else the
// character set that its first kilobyte names ("charset=..."), is honoured.
std::string HtmlAsUtf8(std::string bytes);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_XML_ENCODING_H_
