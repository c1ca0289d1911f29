#include "documents/epub_reader.h"

#include <optional>
#include <string_view>

#include "documents/epub_package.h"
#include "documents/html_body.h"
#include "documents/package_relations.h"
#include "documents/picture_format.h"
#include "documents/xml_part.h"
#include "documents/zip_package.h"

namespace velkaro {
namespace {

bool IsPage(const EpubItem& item) {
  return item.media_type == "application/xhtml+xml" || item.media_type == "image/svg+xml" ||
         item.media_type == "text/html";
}

class EpubBook {
 public:
  EpubBook(const std::string& path, const ReadOptions& options)
      : zip_(path), package_(zip_), options_(options) {}

  Document Read() {
    for (const EpubItem& page : package_.spine) {
      if (IsPage(page) && zip_.Has(page.part)) ReadPage(page.part);
    }
    Document document = collector_.Finish();
    document.warnings = std::move(warnings_);
    AddCover(document);
    return document;
  }

 private:
  void ReadPage(const std::string& part) {
    std::string warning;
    const pugi::xml_document page = ParseBookPage(zip_.Read(part), part, &warning);
    // Real books hold the odd broken page; a browser reads it all the same.
    if (!warning.empty()) warnings_.push_back(std::move(warning));
    const PageLinks links{
        .picture = [&](std::string_view address) { return Picture(part, address); },
        .outline = [&](std::string_view id) { return OutlineEntryOf(part, id); },
    };
    ReadHtmlPage(page.document_element(), links, collector_);
  }

  const OutlineEntry* OutlineEntryOf(const std::string& part, std::string_view id) const {
    const auto found = package_.outline.find(EpubTarget(part, id));
    return found == package_.outline.end() ? nullptr : &found->second;
  }

  // Pictures in PNG, JPEG or GIF that the archive holds; others (SVG
  // drawings, remote pictures) are left out.
  std::optional<PictureSource> Picture(const std::string& page, std::string_view address) {
    if (address.empty() || address.find(':') != std::string_view::npos) return std::nullopt;
    return PictureOfPart(ResolvePartName(page, address.substr(0, address.find('#'))));
  }

  std::optional<PictureSource> PictureOfPart(const std::string& part) {
    if (!zip_.Has(part)) return std::nullopt;
    std::string format = PictureFormatName(zip_.Read(part));
    if (format != "PNG" && format != "JFIF" && format != "GIF") return std::nullopt;
    if (first_picture_.empty()) first_picture_ = part;
    if (!options_.picture_bytes) return PictureSource{};
    return PictureSource{{std::move(format), zip_.Copy(part)}};
  }

  // The cover is the book's first picture; pages that show it first already
  // need no other.
  void AddCover(Document& document) {
    const std::string shown_first = first_picture_;
    if (package_.cover.empty() || package_.cover == shown_first) return;
    std::optional<PictureSource> cover = PictureOfPart(package_.cover);
    if (!cover) return;
    Paragraph paragraph;
    paragraph.text.assign(1, u'\r');
    paragraph.pictures.push_back(std::move(*cover));
    for (Paragraph& other : document.paragraphs) other.start += 1;
    document.paragraphs.insert(document.paragraphs.begin(), std::move(paragraph));
  }

  ZipPackage zip_;
  EpubPackage package_;
  ReadOptions options_;
  ParagraphCollector collector_;
  std::vector<std::string> warnings_;
  std::string first_picture_;  // the part of the first picture the pages show
};

}  // namespace

Document ReadEpub(const std::string& path, const ReadOptions& options) {
  return EpubBook(path, options).Read();
}

}  // namespace velkaro
