#ifndef VELKARO_ARCHIVE_ZIP_RECORDS_H_
#define VELKARO_ARCHIVE_ZIP_RECORDS_H_

#include <cstdint>
#include <string>

namespace velkaro {

inline constexpr uint16_t kStored = 0;
inline constexpr uint16_t kDeflated = 8;
inline constexpr size_t kLocalHeaderSize = 30;
inline constexpr size_t kCentralHeaderSize = 46;
inline constexpr size_t kEndRecordSize = 22;

// What the local header and the central directory say about one entry.
struct ZipEntryFields {
  std::string name;            // already in the archive's code page
  uint16_t central_flags = 0;  // 2 for a folder entry; the local header always has 0
  uint16_t method = kDeflated;
  uint32_t dos_date_time = 0;  // date << 16 | time
  uint32_t crc = 0;
  uint32_t compressed_size = 0;
  uint32_t size = 0;
  uint32_t external_attributes = 0;
  uint32_t local_header_offset = 0;
};

// The local file header followed by the name.
std::string LocalHeader(const ZipEntryFields& entry);
// The central directory header followed by the name.
std::string CentralHeader(const ZipEntryFields& entry);
// The end of central directory record of an archive without comment.
std::string EndRecord(uint64_t entry_count, uint32_t directory_size, uint32_t directory_offset);

}  // namespace velkaro

#endif  // VELKARO_ARCHIVE_ZIP_RECORDS_H_
