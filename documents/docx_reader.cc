#include "documents/docx_reader.h"

#include "documents/docx_body.h"
#include "documents/docx_numbering.h"
#include "documents/docx_styles.h"
#include "documents/html5_parser.h"
#include "documents/html_body.h"
#include "documents/package_relations.h"
#include "documents/picture_format.h"
#include "documents/utf16_text.h"
#include "documents/xml_encoding.h"
#include "documents/xml_part.h"
#include "documents/zip_package.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/temp_folder.h"

namespace velkaro {
namespace {

// Documents embedded in documents nest a level or two; deeper is an attack.
constexpr int kDeepestEmbedding = 8;

Document ReadPackage(const ZipPackage& package, const ReadOptions& options, int nesting);

// The root element of a related part, or an empty node when there is none.
pugi::xml_node RelatedRoot(const ZipPackage& package, const PartRelations& relations,
                           std::string_view kind, pugi::xml_document& holder) {
  const Relationship* relation = relations.FindKind(kind);
  if (!relation || !package.Has(relation->part)) return {};
  holder = ParseXmlPart(package.Read(relation->part), relation->part);
  return holder.document_element();
}

// The picture that a relationship names, offered under its own format. A
// linked or missing picture, or one in no known format, offers nothing.
PictureSource LoadPicture(const ZipPackage& package, const PartRelations& relations,
                          std::string_view id, bool with_bytes) {
  const Relationship* relation = relations.Find(id);
  if (!with_bytes || !relation || relation->external || !package.Has(relation->part)) return {};
  std::string format = PictureFormatName(package.Read(relation->part));
  if (format.empty()) return {};
  return {{std::move(format), package.Copy(relation->part)}};
}

bool EndsWithAnyOf(const std::string& name, std::initializer_list<std::string_view> endings) {
  std::string lowered = name;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string_view ending : endings) {
    if (lowered.ends_with(ending)) return true;
  }
  return false;
}

Document HtmlChunk(std::string bytes) {
  const pugi::xml_document page = ParseHtml5(HtmlAsUtf8(std::move(bytes)));
  const PageLinks links{.picture = [](std::string_view) { return std::nullopt; },
                        .outline = [](std::string_view) { return nullptr; }};
  ParagraphCollector collector;
  ReadHtmlPage(page, links, collector);
  return collector.Finish();
}

// Each line a paragraph.
Document TextChunk(std::string bytes) {
  Document document;
  std::u16string text;
  AppendUtf8(HtmlAsUtf8(std::move(bytes)), text);
  for (size_t begin = 0; begin < text.size();) {
    const size_t end = std::min(text.find(u'\n', begin), text.size());
    Paragraph& paragraph = document.paragraphs.emplace_back();
    paragraph.text = text.substr(begin, end - begin);
    if (paragraph.text.ends_with(u'\r')) paragraph.text.pop_back();
    paragraph.text += u'\r';
    begin = end + 1;
  }
  return document;
}

// A word-processing package inside the package, read from a file of its own.
Document DocxChunk(const std::string& bytes, const ReadOptions& options, int nesting) {
  if (nesting >= kDeepestEmbedding) throw Error("The document is nested too deeply");
  const TempFolder folder("velkaro-");
  const Path path = folder.path() / "embedded.docx";
  WriteWholeFile(path, bytes);
  return ReadPackage(ZipPackage(path.string()), options, nesting + 1);
}

// An embedded part (an altChunk) by what it holds: a word-processing
// package, an HTML page or plain text. Others are left out with a warning.
Document LoadChunk(const ZipPackage& package, const PartRelations& relations, std::string_view id,
                   const ReadOptions& options, int nesting) {
  const Relationship* relation = relations.Find(id);
  if (!relation || relation->external || !package.Has(relation->part)) return {};
  std::string bytes = package.Read(relation->part);
  const std::string& name = relation->part;
  if (bytes.starts_with("PK\x03\x04")) return DocxChunk(bytes, options, nesting);
  if (EndsWithAnyOf(name, {".htm", ".html", ".xhtml", ".xht"})) return HtmlChunk(std::move(bytes));
  if (EndsWithAnyOf(name, {".txt"})) return TextChunk(std::move(bytes));
  Document left_out;
  left_out.warnings.push_back("Embedded part " + name + " is in a format that can not be read");
  return left_out;
}

Document ReadPackage(const ZipPackage& package, const ReadOptions& options, int nesting) {
  const PartRelations package_relations(package, "");
  const Relationship* main = package_relations.FindKind("officeDocument");
  if (!main || !package.Has(main->part)) throw Error("The package holds no main document");
  const std::string main_part = main->part;
  const PartRelations relations(package, main_part);

  pugi::xml_document styles_xml, numbering_xml, footnotes_xml, endnotes_xml;
  const DocxStyles styles(RelatedRoot(package, relations, "styles", styles_xml));
  DocxNumbering numbering(RelatedRoot(package, relations, "numbering", numbering_xml), styles);
  const pugi::xml_document main_xml = ParseXmlPart(package.Read(main_part), main_part);
  const pugi::xml_node body = ChildNamed(main_xml.document_element(), "body");
  if (!IsNamed(main_xml.document_element(), "document") || !body) {
    throw Error("The package's main part is no word-processing document");
  }
  DocxLinks links{
      .picture =
          [&](std::string_view id) {
            return LoadPicture(package, relations, id, options.picture_bytes);
          },
      .chunk =
          [&](std::string_view id) { return LoadChunk(package, relations, id, options, nesting); },
      .footnotes = RelatedRoot(package, relations, "footnotes", footnotes_xml),
      .endnotes = RelatedRoot(package, relations, "endnotes", endnotes_xml),
  };
  return DocxBody(styles, numbering, std::move(links)).Read(body);
}

}  // namespace

Document ReadDocx(const std::string& path, const ReadOptions& options) {
  return ReadPackage(ZipPackage(path), options, 0);
}

}  // namespace velkaro
