#include <algorithm>
#include <cctype>
#include <exception>
#include <optional>
#include <string>

#include "documents/document_reader.h"
#include "engine/image_converter.h"
#include "engine/velkaro.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace velkaro {
namespace {

// "<p1>" at the start of the first table of contents; outline-numbered list
// items win over it with "<p2>" at the first level and "<p3>" below.
std::u16string HeadingTag(const Paragraph& paragraph, std::optional<int64_t> contents_start) {
  if (paragraph.heading > 0) return u"<p" + std::u16string(1, u'0' + paragraph.heading) + u">";
  const ListFormat& list = paragraph.list;
  if (list.value > 0 && list.type == ListType::kOutlineNumbering) {
    return list.level <= 1 ? u"<p2>" : u"<p3>";
  }
  return contents_start == paragraph.start ? u"<p1>" : u"";
}

bool OffersPngOrJpeg(const PictureSource& picture) {
  return std::any_of(picture.begin(), picture.end(), [](const PictureFormat& format) {
    return format.name == "PNG" || format.name == "JFIF";
  });
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Pictures in other formats (GIF, BMP, TIFF, metafiles) are offered as PNG
// too once the converter has made one of them; without a converter they are
// skipped. Returns nothing when the picture can not be offered.
std::optional<PictureSource> WithPngOrJpeg(TVelkaro& book, const PictureSource& picture,
                                           const Path& folder, int number) {
  if (picture.empty() || OffersPngOrJpeg(picture)) return picture;
  const std::string& format = picture.front().name;
  if (!book.Converter && book.CreateConverter) book.StartConverter();
  if (!book.Converter) {
    book.AddLog("Can't convert picture (" + format + ") without ImageMagick");
    return std::nullopt;
  }
  const Path source = folder / ("tmp" + std::to_string(number) + "." + Lowered(format));
  const Path converted = folder / ("tmp" + std::to_string(number) + ".converted.png");
  PictureSource offered = picture;
  try {
    WriteWholeFile(source, picture.front().data);
    book.Converter->Convert({source.string(), converted.string()});
    offered.push_back({"PNG", ReadFileBytes(converted)});
  } catch (const std::exception& e) {
    book.AddLog("Can't convert picture (" + format + "): " + e.what());
  }
  RemoveFile(source);
  RemoveFile(converted);
  return offered;
}

}  // namespace

std::u16string TVelkaro::ImportWordDocument(const std::string& file_name,
                                            const std::string& work_folder, std::string* caption) {
  const std::string format(BookFormatName(file_name));
  const bool word = format == "MS Word";
  if (word) AddLog("Initializing MS Word");
  const bool saves_pictures = !work_folder.empty() && ImageMode != 0;
  const Document document = ReadBookDocument(file_name, {.picture_bytes = saves_pictures});
  for (const std::string& warning : document.warnings) AddLog(warning);
  std::u16string text;
  int number = 1;
  for (const Paragraph& paragraph : document.paragraphs) {
    text += HeadingTag(paragraph, document.contents_start);
    if (paragraph.picture && work_folder.empty()) {
      text += u"<img pic" + AnsiToWide(std::to_string(number++)) + u">";
    } else if (paragraph.picture && saves_pictures) {
      const auto offered = WithPngOrJpeg(*this, *paragraph.picture, work_folder, number);
      const std::string path = offered ? SaveClipboardPicture(*offered, work_folder, number) : "";
      if (!path.empty()) {
        text += u"<img " + AnsiToWide(path) + u">";
        ++number;
      }
    }
    text += paragraph.text;
    text += u"\r\n";
  }
  const std::string letters = std::to_string(text.size()) + " letters";
  if (!word) AddLog("Loaded " + format + " book (" + letters + ")");
  if (caption) *caption = format + ", " + letters + ")";
  return text;
}

}  // namespace velkaro
