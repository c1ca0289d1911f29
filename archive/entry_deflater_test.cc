#include "archive/entry_deflater.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/io_error.h"
#include "tests/corpus_folder.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;

// The zlib stream of `data` at a level with a sync flush after every block of
// `block_size` bytes, from which an entry's data must be the body.
std::string ZlibStream(const std::string& data, int level, size_t block_size) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(compressBound(static_cast<uLong>(data.size())) + 4096, '\0');
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  for (size_t at = 0; at < data.size(); at += block_size) {
    const size_t size = std::min(block_size, data.size() - at);
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
    return DeflateFile(deflater_, data, length);
  }
  DeflatedEntry DeflateFile(EntryDeflater& deflater, const std::string& data, uint64_t length) {
    const auto source = folder_.Write("source.dat", data);
    InputFile in(source);
    entry_.clear();
    return deflater.Deflate(in, length, [&](const unsigned char* bytes, size_t size) {
      entry_.append(reinterpret_cast<const char*>(bytes), size);
    });
  }

  std::string entry_;

  ScratchFolder folder_;
  EntryDeflater deflater_;
};

TEST_F(EntryDeflaterTest, EntryIsTheZlibStreamWithoutHeaderAndTrailerAtEveryLevel) {
  // Each level's block size, and more than two blocks of it.
  const struct {
    int level;
    size_t block_size;
  } kLevels[] = {{1, 524288}, {4, 1048576}, {9, 1572864}};
  for (const auto& level : kLevels) {
    EntryDeflater deflater(level.level);
    ASSERT_EQ(deflater.block_size(), level.block_size) << "level " << level.level;
    // Mostly noise, which even level 9 gets through quickly, with text between.
    std::mt19937 random(5);
    std::string data;
    while (data.size() < 2 * level.block_size + 777) {
      data += "chapter " + std::to_string(random() % 1000) + " ";
      for (int i = 0; i < 40; ++i) data += static_cast<char>(random());
    }
    const std::string zlib_stream = ZlibStream(data, level.level, level.block_size);
    const std::string body = zlib_stream.substr(2, zlib_stream.size() - 6);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    // Twice, so the second run also shows that one deflater serves many entries.
    for (int run = 0; run < 2; ++run) {
      const DeflatedEntry entry = DeflateFile(deflater, data, data.size());
      EXPECT_TRUE(entry_ == body) << "level " << level.level << " run " << run;
      EXPECT_EQ(entry.compressed_size, body.size());
      EXPECT_EQ(entry.crc, crc);
      // Bytes held in memory give the same stream as the file that holds them.
      entry_.clear();
      const DeflatedEntry held =
          deflater.Deflate(data, [&](const unsigned char* bytes, size_t size) {
            entry_.append(reinterpret_cast<const char*>(bytes), size);
          });
      EXPECT_TRUE(entry_ == body) << "level " << level.level << " run " << run;
      EXPECT_EQ(held.compressed_size, body.size());
      EXPECT_EQ(held.crc, crc);
    }
  }
}

// The bytes a bare deflate stream stands for.
std::string Inflated(const std::string& stream, size_t size) {
  std::string data(size, '\0');
  z_stream z{};
  EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = reinterpret_cast<Bytef*>(data.data());
  z.avail_out = static_cast<uInt>(data.size());
  EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
  EXPECT_EQ(z.total_out, size);
  inflateEnd(&z);
  return data;
}

// Book files of a real book as the build writes them: 8192 bytes of UTF-16BE.
std::vector<std::string> BookFiles(const std::filesystem::path& book, size_t count) {
  std::string text;
  for (char c : ReadFileBytes(book)) {
    text += '\0';
    text += c;
  }
  std::vector<std::string> files;
  for (size_t at = 0; at < text.size() && files.size() < count; at += 8192) {
    files.push_back(text.substr(at, 8192));
  }
  return files;
}

// Above level 1 an entry of one block is libdeflate's: it stands for the same
// bytes, held or read from a file, and at level 9 a book's files take no more
// room than zlib's 9 would give them.
TEST_F(EntryDeflaterTest, OneBlockEntriesAboveLevelOneInflateBackAndLevelNineIsNoLarger) {
  const auto kjv = testing::CorpusFolder() / "texts" / "en_kjv_bible.utf8.txt";
  if (testing::CorpusFolder().empty()) GTEST_SKIP() << "no corpus";
  const std::vector<std::string> files = BookFiles(kjv, 60);
  for (int level = 2; level <= 9; ++level) {
    EntryDeflater deflater(level);
    size_t ours = 0, zlib = 0;
    for (const std::string& file : files) {
      const DeflatedEntry entry = DeflateFile(deflater, file, file.size());
      ASSERT_EQ(Inflated(entry_, file.size()), file) << "level " << level;
      ASSERT_EQ(entry.compressed_size, entry_.size());
      ASSERT_EQ(entry.crc, crc32(0, reinterpret_cast<const Bytef*>(file.data()),
                                 static_cast<uInt>(file.size())));
      const std::string from_file = entry_;
      entry_.clear();
      deflater.Deflate(file, [&](const unsigned char* bytes, size_t size) {
        entry_.append(reinterpret_cast<const char*>(bytes), size);
      });
      ASSERT_EQ(entry_, from_file) << "held bytes, level " << level;
      ours += entry_.size();
      if (level == 9) zlib += ZlibStream(file, level, file.size()).size() - 6;
    }
    if (level == 9) {
      EXPECT_LE(ours, zlib);
    }
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
