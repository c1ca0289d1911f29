#include "engine/ini_file.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

TEST(IniRead, NamesMatchWithoutRegardToCaseAndBlanksAreTrimmed) {
  IniFile ini("[Options]\r\n  BookName =  My Book  \r\n;PartSize=5\r\npartsize=7\r\n");
  EXPECT_EQ(ini.ReadString("OPTIONS", "bookname", "x"), "My Book");
  EXPECT_EQ(ini.ReadInteger("options", "PartSize", 0), 7);  // the comment is no key
  EXPECT_EQ(ini.ReadString("Options", "Missing", "fallback"), "fallback");
  EXPECT_EQ(ini.ReadString("Other", "BookName", "fallback"), "fallback");
}

TEST(IniRead, OnlyTheFirstSectionAndKeyOfANameCount) {
  IniFile ini("k=before any section\n[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\nj=5\n");
  EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
  EXPECT_EQ(ini.ReadString("B", "k", ""), "3");
  EXPECT_EQ(ini.ReadString("A", "j", "none"), "none");
}

TEST(IniRead, MatchingQuotesAreRemoved) {
  IniFile ini("[S]\na=\"quoted\"\nb='single'\nc=\"open\nd=\"mixed'\ne=\"\"\nf=\"\n");
  EXPECT_EQ(ini.ReadString("S", "a", "x"), "quoted");
  EXPECT_EQ(ini.ReadString("S", "b", "x"), "single");
  EXPECT_EQ(ini.ReadString("S", "c", "x"), "\"open");
  EXPECT_EQ(ini.ReadString("S", "d", "x"), "\"mixed'");
  EXPECT_EQ(ini.ReadString("S", "e", "x"), "");
  EXPECT_EQ(ini.ReadString("S", "f", "x"), "\"");
}

TEST(IniRead, ValuesAreCutTo2047Bytes) {
  std::string long_value(3000, 'w');
  long_value[2046] = 'L';
  IniFile ini("[S]\nk=" + long_value + "\n");
  std::string read = ini.ReadString("S", "k", "");
  ASSERT_EQ(read.size(), 2047u);
  EXPECT_EQ(read.back(), 'L');
}

TEST(IniRead, CutNeverLeavesHalfALetter) {
  struct Case {
    size_t lead_at;  // where a letter of several bytes starts
    std::string letter;
    size_t kept;
  };
  const Case kCases[] = {
      {2046, "\xC3\xA9", 2046},          // é across the cut
      {2045, "\xC3\xA9", 2047},          // é just inside
      {2045, "\xE2\x82\xAC", 2045},      // € across the cut
      {2044, "\xF0\x9F\x98\x80", 2044},  // a four-byte letter across the cut
      {2046, "\xA9\xA9", 2047},          // continuation bytes without a lead are cut as they lie
  };
  for (const Case& c : kCases) {
    const std::string value = std::string(c.lead_at, 'w') + c.letter + std::string(100, 'z');
    EXPECT_EQ(IniFile("[S]\nk=" + value + "\n").ReadString("S", "k", ""), value.substr(0, c.kept))
        << c.lead_at << " " << c.letter.size();
  }
}

TEST(IniRead, IntegersInDecimalAndHexadecimal) {
  IniFile ini(
      "[N]\ndec=42\nneg=-17\nplus=+5\ndollar=$1F\nzerox=0x10\nupper=0XfF\nall=$FFFFFFFF\n"
      "max=2147483647\nmin=-2147483648\nquoted=\"12\"\n"
      "abc=abc\nempty=\ntail=12abc\nbig=2147483648\nhuge=$100000000\nbare=$\nbarex=0x\n"
      "minus=-\nspace=1 2\n");
  EXPECT_EQ(ini.ReadInteger("N", "dec", 0), 42);
  EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -17);
  EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 5);
  EXPECT_EQ(ini.ReadInteger("N", "dollar", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "zerox", 0), 16);
  EXPECT_EQ(ini.ReadInteger("N", "upper", 0), 255);
  EXPECT_EQ(ini.ReadInteger("N", "all", 0), -1);
  EXPECT_EQ(ini.ReadInteger("N", "max", 0), 2147483647);
  EXPECT_EQ(ini.ReadInteger("N", "min", 0), INT32_MIN);
  EXPECT_EQ(ini.ReadInteger("N", "quoted", 0), 12);
  for (const char* key :
       {"abc", "empty", "tail", "big", "huge", "bare", "barex", "minus", "space", "missing"}) {
    EXPECT_EQ(ini.ReadInteger("N", key, 99), 99) << key;
  }
}

TEST(IniRead, BooleansAreNonZeroIntegers) {
  IniFile ini("[B]\none=1\nzero=0\ntwo=2\nword=yes\n");
  EXPECT_TRUE(ini.ReadBool("B", "one", false));
  EXPECT_FALSE(ini.ReadBool("B", "zero", true));
  EXPECT_TRUE(ini.ReadBool("B", "two", false));
  EXPECT_TRUE(ini.ReadBool("B", "word", true));
  EXPECT_FALSE(ini.ReadBool("B", "word", false));
}

TEST(IniWrite, ExistingKeyIsRewrittenWhereItStands) {
  std::string before = "; my books\n[Options]\nbookname = Old\nOther=keep me\n\n[Files]\nx=1\n";
  IniFile ini(before);
  ini.WriteString("OPTIONS", "BookName", "New");
  EXPECT_EQ(ini.ReadString("Options", "BookName", ""), "New");
  EXPECT_EQ(ini.Bytes(), "; my books\n[Options]\nbookname=New\r\nOther=keep me\n\n[Files]\nx=1\n");
}

TEST(IniWrite, NewKeyGoesAfterTheLastKeyLineOfItsSection) {
  IniFile ini("[A]\r\na=1\r\n;note\r\nb=2\r\n\r\n; about B\r\n[B]\r\nc=3\r\n");
  ini.WriteInteger("a", "New", -4);
  ini.WriteBool("B", "Flag", true);
  EXPECT_EQ(ini.Bytes(),
            "[A]\r\na=1\r\n;note\r\nb=2\r\nNew=-4\r\n\r\n; about B\r\n[B]\r\nc=3\r\nFlag=1\r\n");
}

TEST(IniWrite, NewSectionGoesToTheEndInWriteOrder) {
  IniFile ini("[A]\na=1");  // no line end after the last line
  ini.WriteString("Z", "z1", "one");
  ini.WriteString("Y", "y1", "two");
  ini.WriteString("Z", "z2", "three");
  ini.WriteString("A", "b", "2");
  EXPECT_EQ(ini.Bytes(), "[A]\na=1\r\nb=2\r\n[Z]\r\nz1=one\r\nz2=three\r\n[Y]\r\ny1=two\r\n");
  EXPECT_EQ(IniFile().Bytes(), "");
}

TEST(IniWrite, KeyInAnEmptySectionGoesAfterItsHeader) {
  IniFile ini("[Empty]\n; nothing here\n[Next]\n");
  ini.WriteString("Empty", "k", "v");
  EXPECT_EQ(ini.Bytes(), "[Empty]\nk=v\r\n; nothing here\n[Next]\n");
}

TEST(IniWrite, DeletedKeysVanishAndKeyNamesFollowTheChanges) {
  IniFile ini("[F]\nImageFileName1=a\nKeep=1\nImageNote1=n\n");
  ini.DeleteKey("f", "imagefilename1");
  ini.DeleteKey("F", "ImageNote1");
  ini.DeleteKey("F", "Missing");
  ini.DeleteKey("Nowhere", "Missing");
  ini.WriteString("F", "Added", "x");
  ini.WriteString("F", "Gone", "y");
  ini.DeleteKey("F", "Gone");
  EXPECT_EQ(ini.ReadString("F", "ImageFileName1", "none"), "none");
  EXPECT_EQ(ini.KeyNames("F"), (std::vector<std::string>{"Keep", "Added"}));
  EXPECT_EQ(ini.Bytes(), "[F]\nKeep=1\nAdded=x\r\n");

  ini.WriteString("F", "ImageNote1", "back");  // a deleted key comes back in its old place
  EXPECT_EQ(ini.Bytes(), "[F]\nKeep=1\nImageNote1=back\r\nAdded=x\r\n");
}

TEST(IniWrite, WrittenValuesReadBackAsFromTheFile) {
  IniFile ini;
  ini.WriteString("S", "quoted", "\"q\"");
  ini.WriteString("S", "blanks", "  b  ");
  ini.WriteInteger("S", "min", INT32_MIN);
  IniFile reloaded(ini.Bytes());
  for (const IniFile* file : {&ini, &reloaded}) {
    EXPECT_EQ(file->ReadString("S", "quoted", ""), "q");
    EXPECT_EQ(file->ReadString("S", "blanks", ""), "b");
    EXPECT_EQ(file->ReadInteger("S", "min", 0), INT32_MIN);
  }
}

TEST(IniFiles, MissingFileHasNoKeysAndSaveCreatesIt) {
  testing::ScratchFolder folder;
  IniFile ini = IniFile::Load(folder / "absent.ini");
  EXPECT_EQ(ini.ReadInteger("S", "k", 5), 5);
  ini.WriteInteger("S", "k", 6);
  ini.Save(folder / "absent.ini");
  EXPECT_EQ(testing::ReadBytes(folder / "absent.ini"), "[S]\r\nk=6\r\n");
  EXPECT_EQ(IniFile::Load(folder / "absent.ini").ReadInteger("S", "k", 0), 6);
}

TEST(IniFiles, UnreadableOrUnwritablePathThrows) {
  testing::ScratchFolder folder;
  EXPECT_THROW(IniFile::Load(folder.path()), Error);
  EXPECT_THROW(IniFile().Save(folder.path()), Error);
  EXPECT_THROW(IniFile().Save(folder / "no-folder/x.ini"), Error);
}

TEST(IniRobustness, BinaryBytesLoadAndSaveUnchanged) {
  std::mt19937 random(7);
  std::string bytes(1 << 20, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  IniFile ini(bytes);
  EXPECT_EQ(ini.Bytes(), bytes);
  ini.ReadString("S", "k", "");
  ini.WriteString("S", "k", "v");
  EXPECT_EQ(IniFile(ini.Bytes()).ReadString("S", "k", ""), "v");

  using std::string_literals::operator""s;
  EXPECT_EQ(IniFile("[S]\nk=a\0b\n"s).ReadString("S", "k", ""),
            "a\0b"s);  // NUL is a byte like others
}

TEST(IniRobustness, TenMegabyteLinesLoad) {
  std::string value(10 << 20, 'x');
  IniFile ini("[S]\nk=" + value + "\n[" + value + "\n" + value);
  EXPECT_EQ(ini.ReadString("S", "k", "").size(), IniFile::kLongestValue);
  ini.WriteString("S", "k", "short");
  EXPECT_EQ(IniFile(ini.Bytes()).ReadString("S", "k", ""), "short");
}

}  // namespace
}  // namespace velkaro
