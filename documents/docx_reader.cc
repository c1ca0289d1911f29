#include "documents/docx_reader.h"

#include "documents/docx_body.h"
#include "documents/docx_numbering.h"
#include "documents/package_relations.h"
#include "documents/picture_format.h"
#include "documents/xml_part.h"
#include "documents/zip_package.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

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

}  // namespace

Document ReadDocx(const std::string& path, const ReadOptions& options) {
  const ZipPackage package(path);
  const PartRelations package_relations(package, "");
  const Relationship* main = package_relations.FindKind("officeDocument");
  if (!main || !package.Has(main->part)) throw Error("The package holds no main document");
  const std::string main_part = main->part;
  const PartRelations relations(package, main_part);

  pugi::xml_document styles_xml;
  pugi::xml_document numbering_xml;
  DocxNumbering numbering(RelatedRoot(package, relations, "numbering", numbering_xml),
                          RelatedRoot(package, relations, "styles", styles_xml));
  const pugi::xml_document main_xml = ParseXmlPart(package.Read(main_part), main_part);
  const pugi::xml_node body = ChildNamed(main_xml.document_element(), "body");
  if (!IsNamed(main_xml.document_element(), "document") || !body) {
    throw Error("The package's main part is no word-processing document");
  }
  DocxBody reader(numbering, [&](std::string_view id) {
    return LoadPicture(package, relations, id, options.picture_bytes);
  });
  return reader.Read(body);
}

}  // namespace velkaro
