// Imports and builds a generated 500-page word-processor document with 200
// pictures and prints how long each took.

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "bench/bench_util.h"
#include "engine/velkaro.h"
#include "platform/process.h"
#include "platform/temp_folder.h"
#include "tests/docx_maker.h"

namespace velkaro::bench {
namespace {

constexpr int kPages = 500;
constexpr int kParagraphsPerPage = 10;
constexpr int kPictures = 200;
constexpr size_t kPictureBytes = 20000;

std::string Paragraph(const std::string& properties, const std::string& runs) {
  return "<w:p><w:pPr>" + properties + "</w:pPr>" + runs + "</w:p>";
}

std::string TextRun(int n) {
  std::string text = "Paragraph " + std::to_string(n) + ":";
  while (text.size() < 300) text += " the quick brown fox jumps over the lazy dog";
  return "<w:r><w:t>" + text + "</w:t></w:r>";
}

// A PNG signature and incompressible bytes: the build copies pictures as
// they are, so only their size matters here.
std::string PictureBytes(std::mt19937& random) {
  std::string bytes = "\x89PNG\r\n\x1A\n";
  while (bytes.size() < kPictureBytes) bytes += static_cast<char>(random());
  return bytes;
}

testing::DocxParts MakeDocument() {
  testing::DocxParts parts;
  parts.numbering =
      "<w:abstractNum w:abstractNumId=\"1\"><w:multiLevelType w:val=\"multilevel\"/>"
      "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
      "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/></w:lvl>"
      "</w:abstractNum><w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>";
  std::mt19937 random(7);
  const int paragraphs = kPages * kParagraphsPerPage;
  const int picture_every = paragraphs / kPictures;
  for (int n = 0; n < paragraphs; ++n) {
    std::string properties;
    std::string runs = TextRun(n);
    if (n % picture_every == 0) {
      const std::string id = "rIdPicture" + std::to_string(n);
      parts.pictures.push_back(
          {id, "media/image" + std::to_string(n) + ".png", PictureBytes(random)});
      runs = testing::InlinePictureRun(id) + runs;
      properties = "<w:numPr><w:ilvl w:val=\"" + std::to_string(n / picture_every % 2) +
                   "\"/><w:numId w:val=\"1\"/></w:numPr>";
    }
    parts.body += Paragraph(properties, runs);
  }
  return parts;
}

}  // namespace
}  // namespace velkaro::bench

int main() {
  using namespace velkaro;
  using namespace velkaro::bench;
  const TempFolder folder("velkaro-");
  const std::filesystem::path source = folder.path() / "book.docx";
  testing::WriteDocx(source, MakeDocument());

  TVelkaro book = TVelkaro::CreateDefault();
  book.BookName = "Bench";
  book.BookMode = true;
  book.Font.reset();
  book.PartSize = 90000;
  book.ImageMode = 1;
  book.ImageSize = 1000000;
  book.TextFileName = source.string();
  book.FileVersion = "4.7.0.246";
  book.MidletsFolder = (folder.path() / "midlets").string();
  book.TempFolder = (folder.path() / "temp").string();
  book.RunMode = 1;
  const std::filesystem::path work = folder.path() / "import";
  std::filesystem::create_directory(work);

  Stopwatch import_clock;
  const std::u16string text = book.LoadSourceText(source.string(), work.string(), nullptr);
  const double import_seconds = import_clock.Seconds();
  Stopwatch build_clock;
  const bool ok = book.Build();
  const double build_seconds = build_clock.Seconds();

  std::printf("document: %d pages, %d paragraphs, %d pictures, %.1f MB\n", kPages,
              kPages * kParagraphsPerPage, kPictures,
              std::filesystem::file_size(source) / (1024.0 * 1024.0));
  std::printf("import: %.3f s (%zu letters; target under 3 s)\n", import_seconds, text.size());
  std::printf("whole build: %.3f s%s (target under 5 s)\n", build_seconds, ok ? "" : " FAILED");
  std::printf("peak memory: %.1f MB\n", PeakMemoryBytes() / (1024.0 * 1024.0));
  return ok ? 0 : 1;
}
