#ifndef VELKARO_TESTS_DOCX_MAKER_H_
#define VELKARO_TESTS_DOCX_MAKER_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velkaro::testing {

// Writes a ZIP archive of the given parts (name, bytes), deflated or packed
// with another of libzip's methods (ZIP_CM_BZIP2), encrypted with AES when a
// password is given.
void WriteZip(const std::filesystem::path& path,
              const std::vector<std::pair<std::string, std::string>>& parts, int32_t method = 8,
              const std::string& password = "");

// Writes a ZIP archive of one part of `size` zero bytes whose headers
// claim `claimed_size`, deflated a piece at a time.
void WriteZipBomb(const std::filesystem::path& path, const std::string& name, uint64_t size,
                  uint32_t claimed_size);

// A picture that the main document refers to by relationship id.
struct DocxPicture {
  std::string id;    // "rId7"
  std::string part;  // "media/image1.png", below word/
  std::string bytes;
};

// Any other part the main document relates to, by relationship type
// ("aFChunk", ...).
struct DocxRelated {
  std::string id;
  std::string type;
  std::string part;  // below word/
  std::string bytes;
};

// The parts of a small word-processing package. The body is the inside of
// w:body with the prefixes w, r, wp, wps, a, pic, mc, v and o declared.
struct DocxParts {
  std::string body = {};
  std::string numbering = {};  // inside w:numbering; no part when empty
  std::string styles = {};     // inside w:styles; no part when empty
  std::vector<DocxPicture> pictures = {};
  std::string footnotes = {};  // inside w:footnotes; no part when empty
  std::string endnotes = {};   // inside w:endnotes; no part when empty
  std::vector<DocxRelated> related = {};
};

void WriteDocx(const std::filesystem::path& path, const DocxParts& parts);

// A run holding an inline picture of relationship `id`.
std::string InlinePictureRun(const std::string& id);

// The smallest valid PNG and JPEG files (one pixel each).
std::string TinyPng();
std::string TinyJpeg();

}  // namespace velkaro::testing

#endif  // VELKARO_TESTS_DOCX_MAKER_H_
