#ifndef VELKARO_ARCHIVE_ENTRY_DEFLATER_H_
#define VELKARO_ARCHIVE_ENTRY_DEFLATER_H_

#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/files.h"

namespace velkaro {

struct DeflatedEntry {
  uint32_t crc = 0;
  uint64_t compressed_size = 0;
};

// Turns a source file into the data of one archive entry: a bare deflate
// stream at a level from 1 (fastest) to 9 (smallest), read and compressed
// block by block so that no file is ever held whole. One deflater serves
// every entry of an archive.
//
// Level 1 is zlib's, block by block, so its archives stay byte for byte the
// same. At levels 2 to 9 an entry that fits one block is compressed whole by
// libdeflate at that level (at most its 7), which is smaller than zlib's 9
// in under half its time; larger entries stream through zlib at the level.
class EntryDeflater {
 public:
  // Each block but the last ends with a sync flush; the higher levels, which
  // look further back for repeats, take larger blocks.
  static size_t BlockSize(int level);

  explicit EntryDeflater(int level = 1);
  ~EntryDeflater();
  EntryDeflater(const EntryDeflater&) = delete;
  EntryDeflater& operator=(const EntryDeflater&) = delete;

  // Takes each piece of the deflate stream in turn.
  using Sink = std::function<void(const unsigned char* data, size_t size)>;

  // Reads `length` bytes (at least one) from `source` and hands their
  // deflate stream to `out`, one piece per block. A source that ends early
  // throws the "Invalid compressed size" error.
  DeflatedEntry Deflate(InputFile& source, uint64_t length, const Sink& out);
  // The same for bytes (at least one) held in memory: the same stream.
  DeflatedEntry Deflate(std::string_view data, const Sink& out);

  int level() const { return level_; }
  size_t block_size() const { return block_size_; }

 private:
  void ReadBlock(InputFile& source, size_t size, uint64_t length, uint64_t done);
  uint64_t CompressBlock(const unsigned char* block, size_t size, bool last, const Sink& out);
  uint64_t CompressWhole(const unsigned char* data, size_t size, const Sink& out);
  bool CompressesWhole(uint64_t length) const { return whole_ && length <= block_size_; }

  struct FreeCompressor {
    void operator()(libdeflate_compressor* compressor) const {
      libdeflate_free_compressor(compressor);
    }
  };

  int level_;
  size_t block_size_;
  z_stream stream_{};
  std::unique_ptr<libdeflate_compressor, FreeCompressor> whole_;  // levels 2 to 9
  // Left unfilled: every block is read in before it is used.
  std::unique_ptr<unsigned char[]> input_;
  size_t output_size_;
  std::unique_ptr<unsigned char[]> output_;
};

}  // namespace velkaro

#endif  // VELKARO_ARCHIVE_ENTRY_DEFLATER_H_
