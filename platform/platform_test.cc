// The operating-system layer: messages, files, code pages, clock and locks.

#include <gtest/gtest.h>
#include <sys/stat.h>
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
  EXPECT_EQ(MessageOf([&] { OutputFile(folder / "none" / "x"); }), "File not found");
  EXPECT_FALSE(AppendToFile(folder / "none" / "x.log", "line"));
}

// What is not a regular file fails at once, instead of hanging on a pipe or
// copying an endless device.
TEST(FilesTest, OnlyRegularFilesAreRead) {
  testing::ScratchFolder folder;
  const std::string pipe = (folder / "pipe").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  struct Case {
    std::string path;
    std::string message;
  };
  const Case kCases[] = {
      {folder.path().string(), folder.path().string() + " is a folder"},
      {pipe, pipe + " is not a regular file"},
      {"/dev/zero", "/dev/zero is not a regular file"},
      {"/proc/self/status", "/proc/self/status is not a regular file"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(MessageOf([&] { ReadFileBytes(c.path); }), c.message);
    EXPECT_EQ(MessageOf([&] { CopyFileOver(c.path, folder / "copy"); }), c.message);
    EXPECT_EQ(StatusOf(folder / "copy").kind, FileKind::kMissing) << c.path;
  }
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

TEST(FilesTest, ReplacingWriteReplacesALinkInsteadOfFollowingIt) {
  testing::ScratchFolder folder;
  const Path target = folder.Write("target", "target bytes");
  std::filesystem::create_symlink(target, folder / "link");
  WriteWholeFile(folder / "link", "new", WriteMode::kReplace);
  EXPECT_EQ(LinkStatusOf(folder / "link").kind, FileKind::kRegular);
  EXPECT_EQ(ReadFileBytes(folder / "link"), "new");
  EXPECT_EQ(ReadFileBytes(target), "target bytes");
  std::filesystem::create_directories(folder / "taken" / "inside");
  EXPECT_EQ(MessageOf([&] { WriteWholeFile(folder / "taken", "x", WriteMode::kReplace); }),
            "File access denied");
}

// The pair is renamed into place, or the first place keeps its old file.
TEST(FilesTest, RenameTogetherKeepsOldAndNewApart) {
  struct Case {
    bool old_first;
    bool second_fails;
    std::vector<std::string> names;  // afterwards, sorted
    std::string first;               // what the first place holds, "-" for nothing
  };
  const Case kCases[] = {
      {true, false, {"a", "b"}, "new a"},
      {false, false, {"a", "b"}, "new a"},
      {true, true, {"a", "a.new", "b", "b.new"}, "old a"},
      {false, true, {"a.new", "b", "b.new"}, "-"},
  };
  for (const Case& c : kCases) {
    testing::ScratchFolder folder;
    folder.Write("a.new", "new a");
    folder.Write("b.new", "new b");
    if (c.old_first) folder.Write("a", "old a");
    if (c.second_fails) folder.Write("b/inside", "a folder a file cannot replace");
    const std::string error = MessageOf(
        [&] { RenameTogether(folder / "a.new", folder / "a", folder / "b.new", folder / "b"); });
    EXPECT_EQ(error, c.second_fails ? "File access denied" : "no error");
    EXPECT_EQ(testing::SortedNames(folder.path()), c.names);
    const bool has_first = StatusOf(folder / "a").kind == FileKind::kRegular;
    EXPECT_EQ(has_first ? ReadFileBytes(folder / "a") : "-", c.first);
    if (!c.second_fails) {
      EXPECT_EQ(ReadFileBytes(folder / "b"), "new b");
    }
  }
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
  EXPECT_EQ(AnsiToOem("Book.txt"), "Book.txt");
  EXPECT_EQ(ConvertCharset("\xD0\x96", "UTF-8", "CP1251"), "\xC6");
  EXPECT_TRUE(IsValidIn("A\xD0\x96", "UTF-8"));
  EXPECT_FALSE(IsValidIn("A\xC6", "UTF-8"));
  EXPECT_FALSE(IsValidIn("A\xD0", "UTF-8")) << "a sequence the end cuts short";
  EXPECT_TRUE(IsValidIn("A\xC6", "CP1251"));
  EXPECT_EQ(WideFrom("A\xC6", "CP1251"), u"A\u0416");
  EXPECT_TRUE(IsKnownCharset("windows-1251"));
  EXPECT_FALSE(IsKnownCharset("no-such-set"));
  EXPECT_FALSE(IsValidIn("A", "no-such-set"));
}

// Converters are kept open between calls: each call must still start from
// the initial shift state, with nothing left over from the call before.
TEST(CodePageTest, RepeatedConversionsGiveTheSameBytes) {
  const struct {
    const char* from;
    const char* to;
    std::string_view text;
  } cases[] = {
      {"UTF-8", "ISO-2022-JP", "\xE6\x97\xA5\xE6\x9C\xAC"},  // leaves the converter shifted
      {"UTF-8", "UTF-16", "A\xD0\x96"},                      // starts with a byte order mark
      {"UTF-8", "CP437", "bad \xFF byte"},                   // fails half way
      {"UTF-8", "NO-SUCH-SET", "kept"},
  };
  for (const auto& c : cases) {
    const std::string first = ConvertCharset(c.text, c.from, c.to);
    EXPECT_EQ(ConvertCharset("A", c.from, c.to), ConvertCharset("A", c.from, c.to)) << c.to;
    EXPECT_EQ(ConvertCharset(c.text, c.from, c.to), first) << c.to;
  }
  EXPECT_EQ(ConvertCharset("kept", "UTF-8", "NO-SUCH-SET"), "kept");
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
    EXPECT_EQ(second.Take(folder.path()), FolderLock::Result::kBusy);
  }
  FolderLock third;
  EXPECT_TRUE(third.TryLock(folder.path()));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "the lock leaves no file";
  FolderLock missing;
  EXPECT_EQ(missing.Take(folder / "none"), FolderLock::Result::kUnopened);
}

}  // namespace
}  // namespace velkaro
