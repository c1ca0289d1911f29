#include "archive/zip_records.h"

namespace velkaro {
namespace {

constexpr uint16_t kVersion20 = 20;  // made by host 0 (FAT), version 2.0; also needed to extract

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// The fields from the modification time on, which both headers share.
void PutCommonFields(std::string& out, const ZipEntryFields& entry) {
  Put16(out, entry.method);
  Put16(out, entry.dos_date_time & 0xFFFF);
  Put16(out, entry.dos_date_time >> 16);
  Put32(out, entry.crc);
  Put32(out, entry.compressed_size);
  Put32(out, entry.size);
  Put16(out, static_cast<uint32_t>(entry.name.size()));
  Put16(out, 0);  // extra field length
}

}  // namespace

std::string LocalHeader(const ZipEntryFields& entry) {
  std::string out;
  out.reserve(kLocalHeaderSize + entry.name.size());
  Put32(out, 0x04034B50);
  Put16(out, kVersion20);
  Put16(out, 0);  // flags
  PutCommonFields(out, entry);
  return out + entry.name;
}

std::string CentralHeader(const ZipEntryFields& entry) {
  std::string out;
  out.reserve(kCentralHeaderSize + entry.name.size());
  Put32(out, 0x02014B50);
  Put16(out, kVersion20);
  Put16(out, kVersion20);
  Put16(out, entry.central_flags);
  PutCommonFields(out, entry);
  Put16(out, 0);  // comment length
  Put16(out, 0);  // disk number start
  Put16(out, 0);  // internal attributes
  Put32(out, entry.external_attributes);
  Put32(out, entry.local_header_offset);
  return out + entry.name;
}

std::string EndRecord(uint64_t entry_count, uint32_t directory_size, uint32_t directory_offset) {
  const uint32_t count = entry_count > 65534 ? 0xFFFF : static_cast<uint32_t>(entry_count);
  std::string out;
  Put32(out, 0x06054B50);
  Put16(out, 0);  // this disk
  Put16(out, 0);  // disk where the central directory starts
  Put16(out, count);
  Put16(out, count);
  Put32(out, directory_size);
  Put32(out, directory_offset);
  Put16(out, 0);  // comment length
  return out;
}

}  // namespace velkaro
