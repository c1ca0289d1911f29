#include "archive/entry_deflater.h"

#include <algorithm>

#include "archive/archive_error.h"

namespace velkaro {
namespace {

// A block's output room: its length plus a tenth plus 12, rounded up to 256.
size_t OutputRoom(size_t block_size) {
  return (block_size + block_size / 10 + 12 + 255) / 256 * 256;
}

// libdeflate's levels 8 and 9 take over half as long again as its 7 for less
// than 1 % of a book's bytes, so 7 serves the levels above it as well.
constexpr int kMostWholeLevel = 7;

}  // namespace

size_t EntryDeflater::BlockSize(int level) {
  if (level <= 3) return 524288;
  return level <= 6 ? 1048576 : 1572864;
}

EntryDeflater::EntryDeflater(int level)
    : level_(level),
      block_size_(BlockSize(level)),
      input_(new unsigned char[block_size_]),
      output_size_(OutputRoom(block_size_)),
      output_(new unsigned char[output_size_]) {
  // Negative window bits give the bare stream: the deflate data of a zlib
  // stream at the same settings, without its 2-byte header and Adler-32 trailer.
  if (deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw Error("Cannot start compression");
  }
  if (level > 1) {
    whole_.reset(libdeflate_alloc_compressor(std::min(level, kMostWholeLevel)));
    if (!whole_) throw Error("Cannot start compression");
  }
}

EntryDeflater::~EntryDeflater() { deflateEnd(&stream_); }

DeflatedEntry EntryDeflater::Deflate(InputFile& source, uint64_t length, const Sink& out) {
  deflateReset(&stream_);
  DeflatedEntry entry;
  uLong crc = crc32(0, nullptr, 0);
  if (CompressesWhole(length)) {
    ReadBlock(source, length, length, 0);
    entry.crc = static_cast<uint32_t>(crc32(crc, input_.get(), static_cast<uInt>(length)));
    entry.compressed_size = CompressWhole(input_.get(), length, out);
    return entry;
  }
  for (uint64_t done = 0; done < length;) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(block_size_, length - done));
    ReadBlock(source, size, length, done);
    crc = crc32(crc, input_.get(), static_cast<uInt>(size));
    done += size;
    entry.compressed_size += CompressBlock(input_.get(), size, done == length, out);
  }
  entry.crc = static_cast<uint32_t>(crc);
  return entry;
}

DeflatedEntry EntryDeflater::Deflate(std::string_view data, const Sink& out) {
  deflateReset(&stream_);
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  DeflatedEntry entry;
  if (CompressesWhole(data.size())) {
    entry.compressed_size = CompressWhole(bytes, data.size(), out);
  } else {
    for (size_t done = 0; done < data.size();) {
      const size_t size = std::min(block_size_, data.size() - done);
      const bool last = done + size == data.size();
      entry.compressed_size += CompressBlock(bytes + done, size, last, out);
      done += size;
    }
  }
  entry.crc = static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(data.size())));
  return entry;
}

void EntryDeflater::ReadBlock(InputFile& source, size_t size, uint64_t length, uint64_t done) {
  size_t got = 0;
  while (got < size) {
    const size_t n = source.Read(input_.get() + got, size - got);
    if (n == 0) {
      ThrowArchiveError("Invalid compressed size, rfs.size = " + std::to_string(length) +
                            ", count = " + std::to_string(done + got),
                        kInvalidCompressedSize);
    }
    got += n;
  }
}

// Compresses one block and hands on what deflate gives back; the room is
// enough for one piece in practice, but a larger result still fits.
uint64_t EntryDeflater::CompressBlock(const unsigned char* block, size_t size, bool last,
                                      const Sink& out) {
  stream_.next_in = const_cast<unsigned char*>(block);
  stream_.avail_in = static_cast<uInt>(size);
  uint64_t written = 0;
  do {
    stream_.next_out = output_.get();
    stream_.avail_out = static_cast<uInt>(output_size_);
    deflate(&stream_, last ? Z_FINISH : Z_SYNC_FLUSH);
    const size_t produced = output_size_ - stream_.avail_out;
    out(output_.get(), produced);
    written += produced;
  } while (stream_.avail_out == 0);
  return written;
}

uint64_t EntryDeflater::CompressWhole(const unsigned char* data, size_t size, const Sink& out) {
  const size_t room = libdeflate_deflate_compress_bound(whole_.get(), size);
  if (room > output_size_) {
    output_size_ = room;
    output_.reset(new unsigned char[room]);
  }
  const size_t produced =
      libdeflate_deflate_compress(whole_.get(), data, size, output_.get(), output_size_);
  if (produced == 0) throw Error("Cannot compress");
  out(output_.get(), produced);
  return produced;
}

}  // namespace velkaro
