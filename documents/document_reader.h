#ifndef VELKARO_DOCUMENTS_DOCUMENT_READER_H_
#define VELKARO_DOCUMENTS_DOCUMENT_READER_H_

#include <string>
#include <string_view>

#include "documents/document.h"

namespace velkaro {

// Reads a book file with the reader of its format, told by the file name's
// ending: word-processing packages and e-books (EPUB, FB2) directly, any
// other format through a conversion by LibreOffice. Throws Error with the
// reason on failure.
Document ReadBookDocument(const std::string& path, const ReadOptions& options);

// The name of the format ReadBookDocument reads a file as: "EPUB", "FB2",
// or "MS Word" for word-processor documents.
std::string_view BookFormatName(const std::string& path);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_DOCUMENT_READER_H_
