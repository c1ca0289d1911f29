// Feeds arbitrary bytes as the main part of a word-processing document, with
// the same bytes as its numbering, styles and notes, through the body reader. Any
// crash, hang or broken invariant is a finding; refusals (Error) are fine.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "documents/docx_body.h"
#include "documents/docx_numbering.h"
#include "documents/docx_styles.h"
#include "documents/xml_part.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

void ReadBody(const std::string& bytes) {
  const pugi::xml_document xml = ParseXmlPart(bytes, "fuzz.xml");
  const pugi::xml_node root = xml.document_element();
  const DocxStyles styles(root);
  DocxNumbering numbering(root, styles);
  DocxLinks links{.picture =
                      [](std::string_view) {
                        return PictureSource{{"PNG", "x"}};
                      },
                  .footnotes = root,
                  .endnotes = root};
  const Document document =
      DocxBody(styles, numbering, std::move(links)).Read(ChildNamed(root, "body"));
  int64_t previous_end = 0;
  for (const Paragraph& paragraph : document.paragraphs) {
    Check(!paragraph.text.empty() && paragraph.text.back() == u'\r');
    Check(paragraph.start == -1 || paragraph.start >= previous_end);
    Check(paragraph.text.find_first_of(u"\x01\x02") == std::u16string::npos);
    Check(paragraph.list.level >= 0 && paragraph.list.level <= 9);
    Check(paragraph.outline_level >= 0 && paragraph.outline_level <= 9);
    if (paragraph.start >= 0) previous_end = paragraph.start + 1;
  }
  if (document.contents_start) Check(*document.contents_start >= 0);
}

}  // namespace
}  // namespace velkaro

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    velkaro::ReadBody(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const velkaro::Error&) {
  }
  return 0;
}
