#include <algorithm>
#include <cctype>
#include <exception>
#include <optional>
#include <string>

#include "documents/document_reader.h"
#include "engine/image_converter.h"
#include "engine/markers.h"
#include "engine/velkaro.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

bool HasLetters(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > u' '; });
}

std::u16string HeadingTagOf(int level) { return u"<p" + std::u16string(1, u'0' + level) + u">"; }

// "<p1>" at the start of the first table of contents; outline-numbered list
// items win over it with "<p2>" at the first level and "<p3>" below. With
// style headings, a paragraph with letters that no rule makes a heading
// becomes one by its style's outline level: the title "<p1>", the top level
// "<p2>", deeper levels "<p3>".
std::u16string HeadingTag(const Paragraph& paragraph, std::optional<int64_t> contents_start,
                          bool style_headings) {
  if (paragraph.heading > 0) return HeadingTagOf(paragraph.heading);
  const ListFormat& list = paragraph.list;
  if (list.value > 0 && list.type == ListType::kOutlineNumbering) {
    return list.level <= 1 ? u"<p2>" : u"<p3>";
  }
  if (contents_start == paragraph.start) return u"<p1>";
  if (!style_headings || !HasLetters(paragraph.text)) return u"";
  if (paragraph.title) return u"<p1>";
  if (paragraph.outline_level > 0) return paragraph.outline_level == 1 ? u"<p2>" : u"<p3>";
  return u"";
}

// A paragraph's letters as the book's text: marker letters go, a line break
// becomes a line feed, and where every tag is the reader's own (`marked`)
// each "<" is marked as a letter.
void AppendLetters(std::u16string_view letters, bool marked, std::u16string& text) {
  auto special = [](char16_t c) { return c <= 3 || c == 0x0B || c == u'<'; };
  for (auto from = letters.begin(); from != letters.end();) {
    const auto at = std::find_if(from, letters.end(), special);
    text.append(from, at);
    if (at == letters.end()) break;
    if (*at == 0x0B) text += u'\n';
    if (*at == u'<' && marked) text += kLetterMark;
    if (*at == u'<') text += u'<';
    from = at + 1;
  }
}

bool Offers(const PictureSource& picture, std::string_view format) {
  return std::any_of(picture.begin(), picture.end(),
                     [&](const PictureFormat& offered) { return offered.name == format; });
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The picture in another format, made by the converter from a file of its
// own format in the folder.
std::string Converted(ImageConverter& converter, const PictureFormat& picture, const Path& folder,
                      int number, const std::string& extension) {
  const std::string stem = "tmp" + std::to_string(number);
  const Path source = folder / (stem + "." + Lowered(picture.name));
  const Path target = folder / (stem + ".converted." + extension);
  std::string bytes;
  std::exception_ptr failure;
  try {
    WriteWholeFile(source, picture.data);
    converter.Convert({source.string(), target.string()});
    bytes = ReadFileBytes(target);
  } catch (...) {
    failure = std::current_exception();
  }
  RemoveFile(source);
  RemoveFile(target);
  if (failure) std::rethrow_exception(failure);
  return bytes;
}

// A desktop clipboard offers a copied picture as PNG and as JPEG besides its
// own format. The converter makes the one the picture step looks for when
// the document holds another; without a converter, or when the conversion
// fails, the picture comes as it is, and the log names a picture that the
// step can not take.
PictureSource OfferLikeAClipboard(TVelkaro& book, const PictureSource& picture, const Path& folder,
                                  int number) {
  const int32_t mode = book.ImageMode;
  const bool takes_png = mode == 1 || mode == 2 || (mode >= 4 && mode <= 6);
  const bool takes_jpeg = mode == 1 || mode == 3;
  PictureSource offered = picture;
  if (picture.empty()) return offered;
  const bool lacks_png = takes_png && !Offers(picture, "PNG");
  const bool lacks_jpeg = takes_jpeg && !Offers(picture, "JFIF");
  if (!lacks_png && !lacks_jpeg) return offered;
  const std::string name = "picture " + std::to_string(number) + " (" + picture.front().name + ")";
  try {
    if (!book.Converter && !book.CreateConverter) throw Error("ImageMagick is not available");
    ImageConverter& converter = book.StartConverter();
    const PictureFormat& own = picture.front();
    if (lacks_png) offered.push_back({"PNG", Converted(converter, own, folder, number, "png")});
    if (lacks_jpeg) offered.push_back({"JFIF", Converted(converter, own, folder, number, "jpg")});
  } catch (const std::exception& e) {
    const bool usable =
        (takes_png && Offers(offered, "PNG")) || (takes_jpeg && Offers(offered, "JFIF"));
    if (!usable) book.AddLog("Can't convert " + name + ": " + e.what());
  }
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
    text += HeadingTag(paragraph, document.contents_start, StyleHeadings);
    for (const PictureSource& picture : paragraph.pictures) {
      if (work_folder.empty()) {
        text += u"<img pic" + AnsiToWide(std::to_string(number++)) + u">";
      } else if (saves_pictures) {
        const std::string path = SaveClipboardPicture(
            OfferLikeAClipboard(*this, picture, work_folder, number), work_folder, number);
        if (path.empty()) continue;
        text += u"<img " + AnsiToWide(path) + u">";
        ++number;
      }
    }
    // E-books have no tags of their own: every "<" of theirs is a letter.
    AppendLetters(paragraph.text, !word, text);
    text += u"\r\n";
  }
  if (!HasLetters(text)) throw Error("Document " + file_name + " holds no text");
  const std::string letters = std::to_string(text.size()) + " letters";
  if (!word) AddLog("Loaded " + format + " book (" + letters + ")");
  if (caption) *caption = format + ", " + letters + ")";
  return text;
}

}  // namespace velkaro
