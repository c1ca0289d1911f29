#ifndef VELKARO_DOCUMENTS_DOCX_READER_H_
#define VELKARO_DOCUMENTS_DOCX_READER_H_

#include <string>

#include "documents/document.h"

namespace velkaro {

// Reads a word-processing package (.docx, also in its strict form): the
// paragraphs of the main document in order, those in tables, text boxes and
// embedded parts (HTML, plain text, packages) included, then its notes.
// Throws Error when the package is damaged or hostile (a part inflating past
// its limit, a document type declaration, a relationship leaving the
// package).
Document ReadDocx(const std::string& path, const ReadOptions& options);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCX_READER_H_
