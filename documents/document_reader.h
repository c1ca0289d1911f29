#ifndef VELKARO_DOCUMENTS_DOCUMENT_READER_H_
#define VELKARO_DOCUMENTS_DOCUMENT_READER_H_

#include <string>

#include "documents/document.h"

namespace velkaro {

// Reads a book file with the reader of its format, told by the file name's
// ending: word-processing packages directly, any other format through a
// conversion by LibreOffice. Throws Error with the reason on failure.
Document ReadBookDocument(const std::string& path, const ReadOptions& options);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCUMENT_READER_H_
