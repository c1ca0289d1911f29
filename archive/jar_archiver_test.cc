#include "archive/jar_archiver.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ScratchFolder;
namespace fs = std::filesystem;

// One entry as an independent reader sees it: central directory fields, with
// the local header checked against them.
struct ParsedEntry {
  std::string name;
  uint16_t local_flags = 0, central_flags = 0, method = 0;
  uint32_t dos_date_time = 0, crc = 0, compressed_size = 0, size = 0, attributes = 0;
  std::string data;  // the stored (compressed) bytes
};

uint32_t Get(const std::string& bytes, size_t at, int width) {
  EXPECT_LE(at + width, bytes.size()) << "record runs past the end";
  if (at + width > bytes.size()) return 0;
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Reads the whole archive back and checks that it is exactly: local entries
// in order, then the central directory, then the end record.
std::vector<ParsedEntry> ParseArchive(const std::string& bytes) {
  std::vector<ParsedEntry> entries;
  if (bytes.size() < 22) {
    ADD_FAILURE() << "archive of " << bytes.size() << " bytes";
    return entries;
  }
  const size_t end = bytes.size() - 22;
  EXPECT_EQ(Get(bytes, end, 4), 0x06054B50u);
  EXPECT_EQ(Get(bytes, end + 4, 4), 0u);  // disk numbers
  const uint32_t count = Get(bytes, end + 8, 2);
  EXPECT_EQ(Get(bytes, end + 10, 2), count);
  const uint32_t directory_size = Get(bytes, end + 12, 4);
  const uint32_t directory_offset = Get(bytes, end + 16, 4);
  EXPECT_EQ(Get(bytes, end + 20, 2), 0u);
  EXPECT_EQ(directory_offset + directory_size, end);

  size_t central = directory_offset, local = 0;
  for (uint32_t i = 0; i < count && central < end; ++i) {
    ParsedEntry e;
    EXPECT_EQ(Get(bytes, central, 4), 0x02014B50u);
    EXPECT_EQ(Get(bytes, central + 4, 2), 20u);  // made by
    EXPECT_EQ(Get(bytes, central + 6, 2), 20u);  // needed
    e.central_flags = Get(bytes, central + 8, 2);
    e.method = Get(bytes, central + 10, 2);
    e.dos_date_time = Get(bytes, central + 14, 2) << 16 | Get(bytes, central + 12, 2);
    e.crc = Get(bytes, central + 16, 4);
    e.compressed_size = Get(bytes, central + 20, 4);
    e.size = Get(bytes, central + 24, 4);
    const uint32_t name_length = Get(bytes, central + 28, 2);
    EXPECT_EQ(Get(bytes, central + 30, 4), 0u);  // extra and comment lengths
    EXPECT_EQ(Get(bytes, central + 34, 4), 0u);  // disk, internal attributes
    e.attributes = Get(bytes, central + 38, 4);
    EXPECT_EQ(Get(bytes, central + 42, 4), local) << "entries are not back to back";
    e.name = bytes.substr(central + 46, name_length);
    central += 46 + name_length;

    EXPECT_EQ(Get(bytes, local, 4), 0x04034B50u);
    EXPECT_EQ(Get(bytes, local + 4, 2), 20u);
    e.local_flags = Get(bytes, local + 6, 2);
    EXPECT_EQ(Get(bytes, local + 8, 2), e.method);
    EXPECT_EQ(Get(bytes, local + 12, 2) << 16 | Get(bytes, local + 10, 2), e.dos_date_time);
    EXPECT_EQ(Get(bytes, local + 14, 4), e.crc);
    EXPECT_EQ(Get(bytes, local + 18, 4), e.compressed_size);
    EXPECT_EQ(Get(bytes, local + 22, 4), e.size);
    EXPECT_EQ(Get(bytes, local + 26, 2), name_length);
    EXPECT_EQ(Get(bytes, local + 28, 2), 0u);
    EXPECT_EQ(bytes.substr(local + 30, name_length), e.name);
    e.data = bytes.substr(local + 30 + name_length, e.compressed_size);
    local += 30 + name_length + e.compressed_size;
    entries.push_back(std::move(e));
  }
  EXPECT_EQ(central, end);
  EXPECT_EQ(local, directory_offset);
  return entries;
}

std::string Inflate(const std::string& deflated, size_t size) {
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, -15), Z_OK);
  std::string out(size, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
  stream.avail_in = static_cast<uInt>(deflated.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
  EXPECT_EQ(stream.avail_in, 0u) << "bytes after the end of the deflate stream";
  out.resize(out.size() - stream.avail_out);
  inflateEnd(&stream);
  return out;
}

uint32_t Crc(const std::string& bytes) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Text with long repeats and some noise: compresses, but not to nothing.
std::string BookLikeText(size_t size) {
  std::mt19937 random(7);
  static const char* const kWords[] = {"whale ", "sea ", "Ishmael ", "ship, ", "harpoon. ", "\r\n"};
  std::string text;
  while (text.size() < size) text += kWords[random() % 6];
  text.resize(size);
  return text;
}

void SetModified(const fs::path& path, std::time_t moment) {
  const struct timespec times[2] = {{moment, 0}, {moment, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Packs `work` into `archive` the way a build does and reads it back.
std::vector<ParsedEntry> Pack(const fs::path& work, const fs::path& archive) {
  PackFolder(archive.string(), work.string());
  return ParseArchive(testing::ReadBytes(archive));
}

std::vector<std::string> Names(const std::vector<ParsedEntry>& entries) {
  std::vector<std::string> names;
  for (const ParsedEntry& e : entries) names.push_back(e.name);
  return names;
}

class JarArchiverTest : public ::testing::Test {
 protected:
  std::vector<ParsedEntry> PackWork() { return Pack(work_.path(), midlets_ / "Book.jar"); }

  ScratchFolder work_;
  ScratchFolder midlets_;
};

TEST_F(JarArchiverTest, PackageFolderGivesFilesThenFolderEntryThenItsContents) {
  const std::string manifest = "Manifest-Version: 1.0\r\nMIDlet-Name: Book\r\n";
  SetModified(work_.Write("a.dat", "abcabcabcabc"), 1700000000);
  SetModified(work_.Write("META-INF/MANIFEST.MF", manifest), 1600000000);
  const std::time_t before = std::time(nullptr);
  const auto entries = PackWork();
  const std::time_t after = std::time(nullptr);

  ASSERT_EQ(Names(entries),
            (std::vector<std::string>{"a.dat", "META-INF/", "META-INF/MANIFEST.MF"}));
  const ParsedEntry& file = entries[0];
  EXPECT_EQ(file.method, 8);
  EXPECT_EQ(file.local_flags, 0);
  EXPECT_EQ(file.central_flags, 0);
  EXPECT_EQ(file.attributes, 0x20u);
  EXPECT_EQ(file.size, 12u);
  EXPECT_EQ(file.crc, Crc("abcabcabcabc"));
  EXPECT_EQ(file.dos_date_time, DosDateTime(1700000000));
  EXPECT_EQ(Inflate(file.data, file.size), "abcabcabcabc");

  const ParsedEntry& folder = entries[1];
  EXPECT_EQ(folder.method, 0);
  EXPECT_EQ(folder.size, 0u);
  EXPECT_EQ(folder.compressed_size, 0u);
  EXPECT_EQ(folder.crc, 0u);
  EXPECT_EQ(folder.attributes, 0x10u);
  EXPECT_EQ(folder.central_flags, 2);
  EXPECT_EQ(folder.local_flags, 0);
  // A folder entry is stamped with the moment it was added.
  EXPECT_TRUE(folder.dos_date_time == DosDateTime(before) ||
              folder.dos_date_time == DosDateTime(after));

  const ParsedEntry& manifest_entry = entries[2];
  EXPECT_EQ(manifest_entry.dos_date_time, DosDateTime(1600000000));
  EXPECT_EQ(manifest_entry.crc, Crc(manifest));
  EXPECT_EQ(Inflate(manifest_entry.data, manifest_entry.size), manifest);
}

TEST_F(JarArchiverTest, EveryFolderEntryPrecedesItsContentsDepthFirst) {
  work_.Write("z.dat", "z");
  work_.Write("b/inner/deep.txt", "deep");
  work_.Write("b/file.txt", "file");
  work_.Write("a/README", "no dot");
  fs::create_directories(work_ / "c/empty");
  EXPECT_EQ(Names(PackWork()),
            (std::vector<std::string>{"z.dat", "a/", "a/README", "b/", "b/file.txt", "b/inner/",
                                      "b/inner/deep.txt", "c/", "c/empty/"}));
}

TEST_F(JarArchiverTest, EmptyFileIsStoredWithoutData) {
  work_.Write("empty.dat", "");
  const auto entries = PackWork();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].method, 0);
  EXPECT_EQ(entries[0].crc, 0u);
  EXPECT_EQ(entries[0].size, 0u);
  EXPECT_EQ(entries[0].compressed_size, 0u);
  EXPECT_EQ(entries[0].attributes, 0x20u);
}

TEST_F(JarArchiverTest, IncompressibleFileIsStillDeflated) {
  const std::string picture = RandomBytes(40000, 1);
  work_.Write("pic1.png", picture);
  const auto entries = PackWork();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].method, 8);
  EXPECT_GT(entries[0].compressed_size, picture.size());
  EXPECT_EQ(Inflate(entries[0].data, entries[0].size), picture);
}

TEST_F(JarArchiverTest, FileOfSeveralBlocksInflatesBackIdentical) {
  // Three full 512 KiB blocks and a part of a fourth, half text, half noise.
  const std::string big = BookLikeText(900000) + RandomBytes(3 * 524288 + 12345 - 900000, 2);
  work_.Write("book1.dat", big);
  const auto entries = PackWork();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].size, big.size());
  EXPECT_EQ(entries[0].crc, Crc(big));
  EXPECT_TRUE(Inflate(entries[0].data, entries[0].size) == big);
}

// Small files are deflated ahead of their turn, several at once, in batches
// of some megabytes; large files and folders are packed in their turn.
TEST_F(JarArchiverTest, MixedFilesOverSeveralBatchesKeepTheirOrderAndBytes) {
  std::vector<std::pair<std::string, std::string>> files;
  for (int n = 0; n < 24; ++n) {
    const size_t size = n % 5 == 0 ? 0 : n % 3 == 0 ? 524288 + 1 : 400000 + 1000 * n;
    files.emplace_back("f" + std::to_string(100 + n) + ".dat",
                       n % 2 ? BookLikeText(size) : RandomBytes(size, n));
  }
  for (const auto& [name, bytes] : files) work_.Write(name, bytes);

  const auto entries = PackWork();
  const std::string first_archive = testing::ReadBytes(midlets_ / "Book.jar");
  ASSERT_EQ(entries.size(), files.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& [name, bytes] = files[i];
    EXPECT_EQ(entries[i].name, name);
    EXPECT_EQ(entries[i].crc, Crc(bytes)) << name;
    EXPECT_TRUE(bytes.empty() ? entries[i].data.empty()
                              : Inflate(entries[i].data, entries[i].size) == bytes)
        << name;
  }
  PackWork();
  EXPECT_TRUE(testing::ReadBytes(midlets_ / "Book.jar") == first_archive)
      << "the archive depends on which processor finished first";
}

// A held file is packed from memory; one whose size no longer matches the
// file is read from the disk after all. Here the held bytes differ from the
// file's on purpose, to show which were packed. One archiver packs all the
// cases in turn, as a build's does, so its deflated held files are reused
// only while the held bytes stay the same.
TEST_F(JarArchiverTest, HeldFilesArePackedFromMemoryWhenTheirSizeMatches) {
  const struct {
    std::string on_disk;
    std::string held;
    std::string packed;
  } cases[] = {
      {"disk bytes", "held bytes", "held bytes"},
      {"disk bytes", "held bytes", "held bytes"},
      {"disk bytes", "held BYTES", "held BYTES"},
      {"disk bytes", "held, longer", "disk bytes"},
      {"", "", ""},
  };
  TJarArchiver jar;
  for (const auto& c : cases) {
    const fs::path file = work_.Write("cfg.dat", c.on_disk);
    const std::unordered_map<std::string, std::string> held = {{file.string(), c.held}};
    const fs::path archive = midlets_ / "Book.jar";
    PackFolder(jar, archive.string(), work_.path().string(), &held)->Close();
    const auto entries = ParseArchive(testing::ReadBytes(archive));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].crc, Crc(c.packed)) << c.held;
    EXPECT_EQ(c.packed.empty() ? "" : Inflate(entries[0].data, entries[0].size), c.packed);
  }
}

// One archiver packs at each level in turn, with a held file that stays
// the same: each archive holds the stream of its own level, not one that an
// earlier archive deflated, and a higher level packs the text smaller.
TEST_F(JarArchiverTest, EachArchiveIsDeflatedAtItsOwnCompressionMode) {
  const std::string text = BookLikeText(600000);
  const fs::path held_file = work_.Write("book0.dat", text);
  work_.Write("book1.dat", text);  // read from the disk
  const std::unordered_map<std::string, std::string> held = {{held_file.string(), text}};
  const fs::path archive = midlets_ / "Book.jar";
  TJarArchiver jar;
  std::map<int, uint32_t> packed_size;
  for (int level : {1, 9, 9, 1, 6}) {
    jar.CompressionMode = level;
    PackFolder(jar, archive.string(), work_.path().string(), &held)->Close();
    const auto entries = ParseArchive(testing::ReadBytes(archive));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].data, entries[1].data) << "level " << level;
    EXPECT_TRUE(Inflate(entries[0].data, entries[0].size) == text) << "level " << level;
    if (packed_size.contains(level)) {
      EXPECT_EQ(entries[0].compressed_size, packed_size[level]) << "level " << level;
    }
    packed_size[level] = entries[0].compressed_size;
  }
  EXPECT_LT(packed_size[9], packed_size[6]);
  EXPECT_LT(packed_size[6], packed_size[1]);
}

TEST_F(JarArchiverTest, CompressionModeOutsideOneToNineIsRefused) {
  for (int mode : {0, 10, -1}) {
    TJarArchiver jar;
    jar.CompressionMode = mode;
    jar.FileName = (midlets_ / "Book.jar").string();
    EXPECT_THROW(jar.StartNewArchive(), Error) << mode;
  }
}

TEST_F(JarArchiverTest, HiddenAndReadOnlyFilesArePackedWithTheirAttributes) {
  work_.Write(".hidden", "h");
  const fs::path locked = work_.Write("locked.dat", "r");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read);
  const auto entries = PackWork();
  ASSERT_EQ(Names(entries), (std::vector<std::string>{".hidden", "locked.dat"}));
  EXPECT_EQ(entries[0].attributes, 0x22u);
  EXPECT_EQ(entries[1].attributes, 0x21u);
}

TEST_F(JarArchiverTest, NonAsciiNameIsStoredInTheOemCodePageWithItsOwnLength) {
  const std::string name = "caf\xC3\xA9.txt";  // "café.txt" in UTF-8
  work_.Write(name, "coffee");
  const auto entries = PackWork();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, AnsiToOem(name));
  if (OemCharset() == "CP437") {
    EXPECT_EQ(entries[0].name, "caf\x82.txt");
  }
}

TEST_F(JarArchiverTest, ArchiveInsideTheBaseFolderDoesNotPackItself) {
  work_.Write("a.dat", "a");
  const auto entries = Pack(work_.path(), work_ / "Book.jar");
  EXPECT_EQ(Names(entries), std::vector<std::string>{"a.dat"});
}

TEST_F(JarArchiverTest, ExistingArchiveIsReplacedNotUpdated) {
  work_.Write("old.dat", "old");
  PackWork();
  fs::remove(work_ / "old.dat");
  work_.Write("new.dat", "new");
  EXPECT_EQ(Names(PackWork()), std::vector<std::string>{"new.dat"});
}

TEST_F(JarArchiverTest, LinkedFileIsPackedButLinkedFolderIsNotEntered) {
  work_.Write("sub/real.txt", "real");
  fs::create_symlink(work_ / "sub/real.txt", work_ / "link.txt");
  fs::create_directory_symlink(work_.path(), work_ / "sub/loop");
  const auto entries = PackWork();
  ASSERT_EQ(Names(entries), (std::vector<std::string>{"link.txt", "sub/", "sub/real.txt"}));
  EXPECT_EQ(Inflate(entries[0].data, entries[0].size), "real");
}

TEST_F(JarArchiverTest, ArchiveFinishedWithoutEntriesIsAnEmptyArchive) {
  TJarArchiver jar;
  jar.FileName = (midlets_ / "Empty.jar").string();
  jar.StartNewArchive();
  jar.FinishArchive();
  const std::string bytes = testing::ReadBytes(midlets_ / "Empty.jar");
  EXPECT_EQ(bytes, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

// Other readers accept what we write: unzip, Python's zipfile and the JDK's jar.
class ArchiveReadersTest : public JarArchiverTest {
 protected:
  void SetUp() override {
    work_.Write("a.dat", BookLikeText(700000));
    work_.Write("pic1.png", RandomBytes(30000, 3));
    work_.Write("empty.dat", "");
    work_.Write("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\nMIDlet-Name: Book\r\n");
    PackWork();
  }

  // Runs a reader on the archive; false when the tool is missing.
  static bool ToolPresent(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
  }

  int Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
  }

  std::string archive() const { return (midlets_ / "Book.jar").string(); }
};

TEST_F(ArchiveReadersTest, UnzipTestsTheArchiveClean) {
  if (!ToolPresent("unzip")) GTEST_SKIP() << "unzip is not installed";
  EXPECT_EQ(Run("unzip -t '" + archive() + "'"), 0);
}

TEST_F(ArchiveReadersTest, PythonZipfileFindsNoBadEntry) {
  if (!ToolPresent("python3")) GTEST_SKIP() << "python3 is not installed";
  EXPECT_EQ(Run("python3 -c \"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                "sys.exit(z.testzip() is not None or len(z.namelist()) != 5)\" '" +
                archive() + "'"),
            0);
}

TEST_F(ArchiveReadersTest, JarListsEveryEntry) {
  if (!ToolPresent("jar")) GTEST_SKIP() << "the JDK's jar is not installed";
  EXPECT_EQ(Run("test \"$(jar tf '" + archive() +
                "' | tr '\\n' ' ')\" = "
                "'a.dat empty.dat pic1.png META-INF/ META-INF/MANIFEST.MF '"),
            0);
}

class JarArchiverFailureTest : public JarArchiverTest {
 protected:
  std::string StartError(const std::string& file_name) {
    TJarArchiver jar;
    jar.FileName = file_name;
    try {
      jar.StartNewArchive();
    } catch (const Error& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(JarArchiverFailureTest, BlankFileNameIsRefused) {
  const std::string blank =
      "File name is blank. Specify appropriate file name - Native error: 00010";
  EXPECT_EQ(StartError(""), blank);
  EXPECT_EQ(StartError((midlets_.path() / "").string()), blank);
}

TEST_F(JarArchiverFailureTest, ArchiveThatCannotBeCreatedNamesPathAndReason) {
  const std::string missing = (midlets_ / "no such folder" / "Book.jar").string();
  EXPECT_EQ(StartError(missing), "Cannot create file \"" + missing + "\". File not found");
  // A folder in the way stops even root, which may write anywhere else.
  fs::create_directory(midlets_ / "Book.jar");
  const std::string taken = (midlets_ / "Book.jar").string();
  EXPECT_EQ(StartError(taken), "Cannot create file \"" + taken + "\". File access denied");
}

// The end record counts entries in 16 bits; one more would need Zip64. The
// last of the files named 00000 to 65535 is the one refused.
TEST_F(JarArchiverFailureTest, MoreThan65535EntriesFailInsteadOfBreakingTheArchive) {
  // In memory where the system offers it: so many files are slow on a disk.
  const testing::ScratchFolder many(fs::exists("/dev/shm") ? "/dev/shm"
                                                           : fs::temp_directory_path());
  for (int n = 0; n <= 65535; ++n) {
    char name[8];
    std::snprintf(name, sizeof name, "%05d", n);
    close(open((many / name).c_str(), O_WRONLY | O_CREAT, 0644));
  }
  try {
    Pack(many.path(), midlets_ / "Book.jar");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot compress file '" + (many / "65535").string() +
                                         "'. It would be entry 65536. Zip64 mode is not enabled");
  }
}

TEST_F(JarArchiverFailureTest, AddingToAnArchiveNotOpenIsRefused) {
  TJarArchiver jar;
  jar.BaseDir = work_.path().string();
  try {
    jar.AddFolderContents("*.*", kEveryEntryAttributes, "");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Archive is not open");
  }
}

TEST_F(JarArchiverFailureTest, UnreadableSourceFileStopsTheAdd) {
  // A link to nothing is listed like a file but cannot be opened, even by root.
  fs::create_symlink(work_ / "gone.dat", work_ / "book1.dat");
  try {
    PackWork();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + (work_ / "book1.dat").string() + "\" - Native error: 00033");
  }
}

}  // namespace
}  // namespace velkaro
