#ifndef VELKARO_DOCUMENTS_EPUB_READER_H_
#define VELKARO_DOCUMENTS_EPUB_READER_H_

#include <string>

#include "documents/document.h"

namespace velkaro {

// Reads an EPUB book (2 or 3): the pages of its spine in order, headings
// by their h1 to h6 and by the nesting of the book's contents, and each
// paragraph's first PNG, JPEG or GIF picture. Throws Error when the book
// is encrypted, damaged or hostile (a part inflating past its limit, an
// entity declaration, a path leaving the archive).
Document ReadEpub(const std::string& path, const ReadOptions& options);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_EPUB_READER_H_
