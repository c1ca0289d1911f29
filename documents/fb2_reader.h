#ifndef VELKARO_DOCUMENTS_FB2_READER_H_
#define VELKARO_DOCUMENTS_FB2_READER_H_

#include <string>

#include "documents/document.h"

namespace velkaro {

// Reads a FictionBook (.fb2, or the one book inside a .fb2.zip): the main
// bodies in order, notes bodies left out; the body's title and the titles
// of its sections become headings by their nesting, and each paragraph's
// first picture comes from the book's base64 binaries. Throws Error on
// malformed XML, invalid base64, or a damaged or hostile archive.
Document ReadFb2(const std::string& path, const ReadOptions& options);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_FB2_READER_H_
