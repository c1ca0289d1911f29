#include "tests/docx_maker.h"

#include <zip.h>
#include <zlib.h>

#include <fstream>
#include <stdexcept>

namespace velkaro::testing {
namespace {

constexpr const char* kNamespaces =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
    " xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\""
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\""
    " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""
    " xmlns:v=\"urn:schemas-microsoft-com:vml\" "
    "xmlns:o=\"urn:schemas-microsoft-com:office:office\"";

constexpr const char* kRelationshipTypes =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
  return "<Relationship Id=\"" + id + "\" Type=\"" + kRelationshipTypes + type + "\" Target=\"" +
         target + "\"/>";
}

std::string Relationships(const std::string& inside) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
         inside + "</Relationships>";
}

std::string Part(const std::string& root, const std::string& inside) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:" + root + kNamespaces + ">" + inside +
         "</w:" + root + ">";
}

}  // namespace

void WriteZip(const std::filesystem::path& path,
              const std::vector<std::pair<std::string, std::string>>& parts, int32_t method,
              const std::string& password) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) throw std::runtime_error("can not create " + path.string());
  for (const auto& [name, bytes] : parts) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    const zip_int64_t index =
        source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) : -1;
    if (index < 0 || zip_set_file_compression(archive, index, method, 0) != 0 ||
        (!password.empty() &&
         zip_file_set_encryption(archive, index, ZIP_EM_AES_256, password.c_str()) != 0)) {
      if (index < 0) zip_source_free(source);
      zip_discard(archive);
      throw std::runtime_error("can not add " + name);
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("can not write " + path.string());
  }
}

namespace {

void Put(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// Raw deflate of `size` zero bytes, with their CRC-32.
std::string DeflatedZeros(uint64_t size, uint32_t& crc) {
  z_stream stream{};
  deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  const std::string zeros(1 << 20, '\0');
  std::string out;
  char buffer[1 << 16];
  crc = crc32(0, nullptr, 0);
  for (uint64_t left = size; left > 0 || stream.avail_in > 0;) {
    const uInt piece = static_cast<uInt>(std::min<uint64_t>(left, zeros.size()));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(zeros.data()), piece);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    stream.avail_in = piece;
    left -= piece;
    do {
      stream.next_out = reinterpret_cast<Bytef*>(buffer);
      stream.avail_out = sizeof buffer;
      deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
      out.append(buffer, sizeof buffer - stream.avail_out);
    } while (stream.avail_out == 0);
    if (left == 0) break;
  }
  deflateEnd(&stream);
  return out;
}

}  // namespace

void WriteZipBomb(const std::filesystem::path& path, const std::string& name, uint64_t size,
                  uint32_t claimed_size) {
  uint32_t crc = 0;
  const std::string data = DeflatedZeros(size, crc);
  // The fields that the local header and the central directory share, from
  // the version needed to the name's length.
  std::string shared;
  Put(shared, 20, 2);
  Put(shared, 0, 2);
  Put(shared, 8, 2);  // deflated
  Put(shared, 0, 4);  // time and date
  Put(shared, crc, 4);
  Put(shared, data.size(), 4);
  Put(shared, claimed_size, 4);
  Put(shared, name.size(), 2);
  std::string local;
  Put(local, 0x04034b50, 4);
  local += shared;
  Put(local, 0, 2);  // extra
  local += name;
  std::string central;
  Put(central, 0x02014b50, 4);
  Put(central, 20, 2);  // made by
  central += shared;
  for (int field = 0; field < 4; ++field) Put(central, 0, 2);  // extra, comment, disk, attributes
  Put(central, 0, 4);                                          // external attributes
  Put(central, 0, 4);                                          // local header offset
  central += name;
  std::string end;
  Put(end, 0x06054b50, 4);
  Put(end, 0, 4);
  Put(end, 1, 2);
  Put(end, 1, 2);
  Put(end, central.size(), 4);
  Put(end, local.size() + data.size(), 4);
  Put(end, 0, 2);
  std::ofstream(path, std::ios::binary) << local << data << central << end;
}

void WriteDocx(const std::filesystem::path& path, const DocxParts& parts) {
  std::string relations;
  std::vector<std::pair<std::string, std::string>> files = {
      {"[Content_Types].xml",
       "<?xml version=\"1.0\"?><Types "
       "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
      {"_rels/.rels", Relationships(Relationship("rId1", "officeDocument", "word/document.xml"))},
      {"word/document.xml", Part("document", "<w:body>" + parts.body + "</w:body>")},
  };
  std::vector<DocxRelated> related = parts.related;
  const std::pair<const char*, const std::string*> roots[] = {{"numbering", &parts.numbering},
                                                              {"styles", &parts.styles},
                                                              {"footnotes", &parts.footnotes},
                                                              {"endnotes", &parts.endnotes}};
  for (const auto& [root, inside] : roots) {
    if (inside->empty()) continue;
    related.push_back(
        {std::string("rId") + root, root, std::string(root) + ".xml", Part(root, *inside)});
  }
  for (const DocxPicture& picture : parts.pictures) {
    related.push_back({picture.id, "image", picture.part, picture.bytes});
  }
  for (const DocxRelated& part : related) {
    files.emplace_back("word/" + part.part, part.bytes);
    relations += Relationship(part.id, part.type, part.part);
  }
  files.emplace_back("word/_rels/document.xml.rels", Relationships(relations));
  WriteZip(path, files);
}

std::string InlinePictureRun(const std::string& id) {
  return "<w:r><w:drawing><wp:inline><a:graphic><a:graphicData><pic:pic><pic:blipFill>"
         "<a:blip r:embed=\"" +
         id +
         "\"/></pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline>"
         "</w:drawing></w:r>";
}

std::string TinyPng() {
  return std::string(
      "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00"
      "\x00\x01\x08\x00\x00\x00\x00\x3A\x7E\x9B\x55\x00\x00\x00\x0A\x49\x44\x41\x54\x78\x9C\x63"
      "\x60\x00\x00\x00\x02\x00\x01\x48\xAF\xA4\x71\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42\x60"
      "\x82",
      67);
}

std::string TinyJpeg() {
  return std::string(
      "\xFF\xD8\xFF\xE0\x00\x10\x4A\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xFF\xDB"
      "\x00\x43\x00\x10\x0B\x0C\x0E\x0C\x0A\x10\x0E\x0D\x0E\x12\x11\x10\x13\x18\x28\x1A\x18\x16"
      "\x16\x18\x31\x23\x25\x1D\x28\x3A\x33\x3D\x3C\x39\x33\x38\x37\x40\x48\x5C\x4E\x40\x44\x57"
      "\x45\x37\x38\x50\x6D\x51\x57\x5F\x62\x67\x68\x67\x3E\x4D\x71\x79\x70\x64\x78\x5C\x65\x67"
      "\x63\xFF\xDB\x00\x43\x01\x11\x12\x12\x18\x15\x18\x2F\x1A\x1A\x2F\x63\x42\x38\x42\x63\x63"
      "\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63"
      "\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63"
      "\x63\x63\x63\x63\xFF\xC0\x00\x11\x08\x00\x01\x00\x01\x03\x01\x22\x00\x02\x11\x01\x03\x11"
      "\x01\xFF\xC4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x05\xFF\xC4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x00\xFF\xC4\x00\x15\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x05\x06\xFF\xC4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x00\x00\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00\x8A\x00\xB5\xE3\xFF"
      "\xD9",
      287);
}

}  // namespace velkaro::testing
