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
    return document;
  }

 private:
  void ReadPage(const std::string& part) {
    pugi::xml_document page;
    try {
      page = ParseBookMarkup(zip_.Read(part), part);
    } catch (const MalformedXml& e) {
      // Real books hold the odd broken page; the rest of the book is still
      // worth reading.
      warnings_.push_back(std::string(e.what()) + ", left out");
      return;
    }
    if (const int level = LevelOf(part, "")) collector_.OutlineEntry(level);
    const PageLinks links{
        .picture = [&](std::string_view address) { return Picture(part, address); },
        .outline_level = [&](std::string_view id) { return LevelOf(part, id); },
    };
    ReadHtmlPage(page.document_element(), links, collector_);
  }

  int LevelOf(const std::string& part, std::string_view id) const {
    const auto found = package_.outline.find(EpubTarget(part, id));
    return found == package_.outline.end() ? 0 : found->second;
  }

  // Pictures in PNG, JPEG or GIF that the archive holds; others (SVG
  // drawings, remote pictures) are left out.
  std::optional<PictureSource> Picture(const std::string& page, std::string_view address) {
    if (address.empty() || address.find(':') != std::string_view::npos) return std::nullopt;
    const std::string part = ResolvePartName(page, address.substr(0, address.find('#')));
    if (!zip_.Has(part)) return std::nullopt;
    std::string format = PictureFormatName(zip_.Read(part));
    if (format != "PNG" && format != "JFIF" && format != "GIF") return std::nullopt;
    if (!options_.picture_bytes) return PictureSource{};
    return PictureSource{{std::move(format), zip_.Copy(part)}};
  }

  ZipPackage zip_;
  EpubPackage package_;
  ReadOptions options_;
  ParagraphCollector collector_;
  std::vector<std::string> warnings_;
};

}  // namespace

Document ReadEpub(const std::string& path, const ReadOptions& options) {
  return EpubBook(path, options).Read();
}

}  // namespace velkaro
