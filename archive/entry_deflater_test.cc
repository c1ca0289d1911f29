#include "archive/entry_deflater.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

// The zlib stream of `data` at level 1 with the same sync flush after every
// block, from which an entry's data must be the body.
std::string ZlibStream(const std::string& data) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(compressBound(static_cast<uLong>(data.size())) + 4096, '\0');
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  for (size_t at = 0; at < data.size(); at += EntryDeflater::kBlockSize) {
    const size_t size = std::min(EntryDeflater::kBlockSize, data.size() - at);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
    stream.avail_in = static_cast<uInt>(size);
    deflate(&stream, at + size == data.size() ? Z_FINISH : Z_SYNC_FLUSH);
  }
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

class EntryDeflaterTest : public ::testing::Test {
 protected:
  // Deflates the first `length` bytes of a file holding `data` into entry_.
  DeflatedEntry DeflateFile(const std::string& data, uint64_t length) {
    const auto source = folder_.Write("source.dat", data);
    InputFile in(source);
    entry_.clear();
    return deflater_.Deflate(in, length, [&](const unsigned char* bytes, size_t size) {
      entry_.append(reinterpret_cast<const char*>(bytes), size);
    });
  }

  std::string entry_;

  ScratchFolder folder_;
  EntryDeflater deflater_;
};

TEST_F(EntryDeflaterTest, EntryIsTheZlibStreamWithoutHeaderAndTrailer) {
  std::mt19937 random(5);
  std::string data;
  while (data.size() < 2 * EntryDeflater::kBlockSize + 777) {
    data += "chapter " + std::to_string(random() % 1000) + " ";
    data += static_cast<char>(random());
  }
  // Twice, so the second run also shows that one deflater serves many entries.
  for (int run = 0; run < 2; ++run) {
    const std::string zlib_stream = ZlibStream(data);
    const std::string body = zlib_stream.substr(2, zlib_stream.size() - 6);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    const DeflatedEntry entry = DeflateFile(data, data.size());
    EXPECT_TRUE(entry_ == body) << "run " << run;
    EXPECT_EQ(entry.compressed_size, body.size());
    EXPECT_EQ(entry.crc, crc);
    // Bytes held in memory give the same stream as the file that holds them.
    entry_.clear();
    const DeflatedEntry held =
        deflater_.Deflate(data, [&](const unsigned char* bytes, size_t size) {
          entry_.append(reinterpret_cast<const char*>(bytes), size);
        });
    EXPECT_TRUE(entry_ == body) << "run " << run;
    EXPECT_EQ(held.compressed_size, body.size());
    EXPECT_EQ(held.crc, crc);
  }
}

TEST_F(EntryDeflaterTest, SourceShorterThanItsLengthIsAnInvalidSize) {
  try {
    DeflateFile(std::string(10, 'x'), 100);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(),
                 "Invalid compressed size, rfs.size = 100, count = 10 - Native error: 00034");
  }
}

}  // namespace
}  // namespace velkaro
