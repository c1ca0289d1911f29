// Feeds arbitrary bytes through the EPUB and FB2 readers. The bytes are split
// at "|||" into the package document, the contents page and a page of a
// small EPUB whose picture is named from every page; whole, they are also
// read as an FB2 book. Any crash, hang or broken invariant is a finding;
// refusals (Error) are fine.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/epub_reader.h"
#include "documents/fb2_reader.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/temp_folder.h"
#include "tests/docx_maker.h"

namespace velkaro {
namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

// The pieces of the input, at most three.
std::vector<std::string> Pieces(std::string_view bytes) {
  std::vector<std::string> pieces;
  for (size_t at; pieces.size() < 2 && (at = bytes.find("|||")) != std::string_view::npos;) {
    pieces.emplace_back(bytes.substr(0, at));
    bytes.remove_prefix(at + 3);
  }
  pieces.emplace_back(bytes);
  return pieces;
}

void CheckDocument(const Document& document) {
  for (const Paragraph& paragraph : document.paragraphs) {
    Check(paragraph.heading >= 0 && paragraph.heading <= 9);
    Check(paragraph.text.find_first_of(u"\x01\x02") == std::u16string::npos);
  }
}

void ReadAsBooks(std::string_view bytes, const std::filesystem::path& folder) {
  const std::vector<std::string> pieces = Pieces(bytes);
  const std::string opf =
      pieces.size() == 3
          ? pieces[0]
          : "<package><manifest><item id=\"n\" href=\"nav.xhtml\" properties=\"nav\" "
            "media-type=\"application/xhtml+xml\"/><item id=\"p\" href=\"p.xhtml\" "
            "media-type=\"application/xhtml+xml\"/></manifest><spine><itemref "
            "idref=\"n\"/><itemref idref=\"p\"/><itemref idref=\"p\"/></spine>"
            "</package>";
  const std::string nav = pieces.size() == 3 ? pieces[1] : "<html><body><nav/></body></html>";
  const std::string picture = "\x89PNG\r\n\x1a\n";
  const auto epub = folder / "book.epub";
  testing::WriteZip(epub, {{"mimetype", "application/epub+zip"},
                           {"META-INF/container.xml",
                            "<container><rootfiles><rootfile full-path=\"content.opf\"/>"
                            "</rootfiles></container>"},
                           {"content.opf", opf},
                           {"nav.xhtml", nav},
                           {"p.xhtml", pieces.back()},
                           {"a.png", picture}});
  try {
    CheckDocument(ReadEpub(epub.string(), {}));
  } catch (const Error&) {
  }
  const auto fb2 = folder / "book.fb2";
  WriteWholeFile(fb2, bytes);
  try {
    CheckDocument(ReadFb2(fb2.string(), {}));
  } catch (const Error&) {
  }
}

}  // namespace
}  // namespace velkaro

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const velkaro::TempFolder folder("velkaro-fuzz-");
  velkaro::ReadAsBooks(std::string_view(reinterpret_cast<const char*>(data), size), folder.path());
  return 0;
}
