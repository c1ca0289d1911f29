#ifndef VELKARO_DOCUMENTS_EPUB_PACKAGE_H_
#define VELKARO_DOCUMENTS_EPUB_PACKAGE_H_

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "documents/html_body.h"
#include "documents/zip_package.h"

namespace velkaro {

struct EpubItem {
  std::string part;  // part name in the archive, fragment left off
  std::string media_type;
};

// Where a contents entry leads: a page, and an element id in it ("" for
// the page's start).
using EpubTarget = std::pair<std::string, std::string>;

// What an EPUB's package document and contents say about the book. Throws
// Error for an encrypted book, a missing package document, or a manifest
// path that leaves the archive.
struct EpubPackage {
  explicit EpubPackage(const ZipPackage& zip);

  // The pages in reading order, each once, the contents page left out.
  std::vector<EpubItem> spine;
  // The contents entries by where they lead; the first entry of a target.
  std::map<EpubTarget, OutlineEntry, std::less<>> outline;
  // The part of the cover picture, "" when the book names none.
  std::string cover;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_EPUB_PACKAGE_H_
