#ifndef VELKARO_DOCUMENTS_OFFICE_CONVERSION_H_
#define VELKARO_DOCUMENTS_OFFICE_CONVERSION_H_

#include <string>

#include "documents/document.h"

namespace velkaro {

// Reads a document in any format that LibreOffice opens (.doc, .rtf, .odt,
// ...) by letting it convert the file to .docx in a private folder, with a
// profile of its own, and reading that. Throws Error when LibreOffice is not
// installed or the conversion gives nothing.
Document ReadThroughOffice(const std::string& path, const ReadOptions& options);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_OFFICE_CONVERSION_H_
