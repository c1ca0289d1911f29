// The operating-system layer: messages, files, code pages, clock and locks.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

TEST(IoErrorTest, GeneralMessages) {
  EXPECT_EQ(IoMessage(ENOENT), "File not found");
  EXPECT_EQ(IoMessage(EACCES), "File access denied");
  EXPECT_EQ(IoMessage(ENOSPC), "Disk full");
  EXPECT_EQ(IoMessage(EIO), "I/O error " + std::to_string(EIO));
}

TEST(FilesTest, ReadWriteCopyAndTheirFailures) {
  testing::ScratchFolder folder;
  {
    OutputFile out(folder / "a.bin");
    out.Write("hello world");
    out.WriteAt(0, "J", 1);
    EXPECT_EQ(out.Position(), 11u);
    out.Close();
  }
  EXPECT_EQ(ReadFileBytes(folder / "a.bin"), "Jello world");
  {
    OutputFile shorter(folder / "a.bin");
    shorter.Write("Hi");
  }
  EXPECT_EQ(ReadFileBytes(folder / "a.bin"), "Hi") << "the old tail is cut even without Close";
  {
    OutputFile out(folder / "a.bin");
    out.Write("Jello world");
    out.Close();
  }
  CopyFileOver(folder / "a.bin", folder / "b.bin");
  EXPECT_EQ(FileSizeOf(folder / "b.bin"), 11u);
  EXPECT_TRUE(AppendToFile(folder / "b.bin", "!"));
  EXPECT_EQ(ReadFileBytes(folder / "b.bin"), "Jello world!");

  EXPECT_EQ(MessageOf([&] { ReadFileBytes(folder / "none"); }), "File not found");
  EXPECT_EQ(MessageOf([&] { ReadFileBytes(folder.path()); }), "File access denied");
  EXPECT_EQ(MessageOf([&] { OutputFile(folder / "none" / "x"); }), "File not found");
  EXPECT_FALSE(AppendToFile(folder / "none" / "x.log", "line"));
}

TEST(FilesTest, StatusRenameAndRemove) {
  testing::ScratchFolder folder;
  const Path a = folder.Write("a", "new");
  const Path b = folder.Write("b", "old");
  std::filesystem::create_symlink(b, folder / "link");
  EXPECT_EQ(StatusOf(b).kind, FileKind::kRegular);
  EXPECT_EQ(StatusOf(b).size, 3u);
  EXPECT_EQ(StatusOf(folder / "link").inode, StatusOf(b).inode);
  EXPECT_EQ(LinkStatusOf(folder / "link").kind, FileKind::kLink);
  EXPECT_EQ(StatusOf(folder.path()).kind, FileKind::kFolder);
  EXPECT_EQ(StatusOf("/dev/null").kind, FileKind::kOther);

  RenameFile(a, b);
  EXPECT_EQ(ReadFileBytes(b), "new");
  EXPECT_EQ(StatusOf(a).kind, FileKind::kMissing);
  EXPECT_EQ(MessageOf([&] { RenameFile(a, b); }), "File not found");
  EXPECT_TRUE(RemoveFile(folder / "link"));
  EXPECT_EQ(ReadFileBytes(b), "new") << "removing a link leaves its target";
  EXPECT_TRUE(RemoveFile(b));
  EXPECT_FALSE(RemoveFile(b));
  EXPECT_FALSE(RemoveFile(folder.path())) << "never a folder";

  WriteWholeFile(folder / "w", "longer text");
  WriteWholeFile(folder / "w", "short");
  EXPECT_EQ(ReadFileBytes(folder / "w"), "short");
}

TEST(FilesTest, DiskFullIsReported) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  EXPECT_EQ(MessageOf([] {
              OutputFile out("/dev/full");
              out.Write("x");
            }),
            "Disk full");
}

TEST(CodePageTest, RoundTripsThroughTheSystemPage) {
  // Tests run in the C or a UTF-8 locale; both mean UTF-8 here.
  ASSERT_EQ(SystemCharset(), "UTF-8");
  EXPECT_EQ(AnsiToWide("A\xD0\x96\xE4\xB8\xAD"), u"A\u0416\u4E2D");
  EXPECT_EQ(WideToAnsi(u"A\u0416\u4E2D"), "A\xD0\x96\xE4\xB8\xAD");
  EXPECT_EQ(AnsiToWide("a\xFF"
                       "b"),
            u"a\uFFFDb")
      << "undecodable bytes do not vanish";
  EXPECT_EQ(WideToAnsi(u"a\xD800z"), "a?z") << "a lone surrogate becomes the default letter";
  EXPECT_TRUE(AnsiHasLetter(u'\u0416'));
  EXPECT_FALSE(AnsiHasLetter(u'\xDC00'));
  EXPECT_EQ(AnsiToOem("Book.txt"), "Book.txt");
  EXPECT_EQ(ConvertCharset("\xD0\x96", "UTF-8", "CP1251"), "\xC6");
}

TEST(ClockTest, TimeOfDayAndDosForm) {
  setenv("TZ", "UTC", 1);
  tzset();
  const std::time_t moment = 1700000000;  // 2023-11-14 22:13:20 UTC
  EXPECT_EQ(TimeOfDayText(moment), "22:13:20");
  uint32_t dos = DosDateTime(moment);
  EXPECT_EQ(dos >> 16, (43u << 9) | (11u << 5) | 14u);
  EXPECT_EQ(dos & 0xFFFF, (22u << 11) | (13u << 5) | 10u);
  EXPECT_EQ(DosDateTime(0), (1u << 21) | (1u << 16)) << "before 1980 clamps to 1980-01-01";
}

TEST(FolderLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  testing::ScratchFolder folder;
  {
    FolderLock first;
    ASSERT_TRUE(first.TryLock(folder.path()));
    FolderLock second;
    EXPECT_FALSE(second.TryLock(folder.path()));
  }
  FolderLock third;
  EXPECT_TRUE(third.TryLock(folder.path()));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "the lock leaves no file";
  FolderLock missing;
  EXPECT_FALSE(missing.TryLock(folder / "none"));
}

}  // namespace
}  // namespace velkaro
