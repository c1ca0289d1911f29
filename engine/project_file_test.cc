#include <gtest/gtest.h>

#include <random>
#include <string>
#include <variant>

#include "engine/project_keys.h"
#include "engine/velkaro.h"
#include "platform/code_page.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;

// Settings texts are bytes in the system code page: UTF-8 where the tests run.
const std::string kCyrillicBook = "Книга";
const std::string kCyrillicNote = "Заметка";

TVelkaro Loaded(const std::filesystem::path& path) {
  TVelkaro book = TVelkaro::CreateDefault();
  std::string error;
  EXPECT_TRUE(book.LoadProject(path.string(), &error)) << error;
  return book;
}

// Every setting of the key tables, the font and the picture lists.
void ExpectSameSettings(const TVelkaro& a, const TVelkaro& b) {
  for (IniSettings<TVelkaro> table :
       {IniSettings<TVelkaro>(kColorKeys), IniSettings<TVelkaro>(kBookKeys)}) {
    for (const IniSetting<TVelkaro>& setting : table) {
      std::visit([&](auto member) { EXPECT_EQ(a.*member, b.*member) << setting.key; },
                 setting.member);
    }
  }
  EXPECT_EQ(a.Font, b.Font);
  EXPECT_EQ(a.ImageFiles, b.ImageFiles);
  EXPECT_EQ(a.ImageNotes, b.ImageNotes);
}

TVelkaro FullBook() {
  TVelkaro book = TVelkaro::CreateDefault();
  book.FontColor = 0x123456;
  book.BackColor = 0x0A0B0C;
  book.Font = DesktopFont{.Name = "DejaVu Serif", .Size = 11, .Bold = true, .Italic = false};
  book.BookMode = true;
  book.BookName = kCyrillicBook;
  book.BookInfo = kCyrillicBook + " = by someone; 2nd edition";
  book.PartSize = 60000;
  book.LineSpacing = -1;
  book.CharSpacing = 1;
  book.WordWrap = true;
  book.PortraitLayout = false;
  book.Format = true;
  book.Tags = false;
  book.Password = 1234;
  book.PasswordMode = 2;
  book.ImageMode = 6;
  book.ImagePngOptions = "-colors 256";
  book.ImageJpgOptions = "-quality 60";
  book.ImageSize = 32000;
  book.Encoding = "KOI8-R";
  book.JoinLines = true;
  book.StyleHeadings = true;
  book.MaxJarSize = 65536;
  book.Compression = 9;
  book.TextFileName = "books/" + kCyrillicBook + ".txt";
  book.SplashFileName = "splash.png";
  book.IconFileName = "icon.png";
  book.ImageFiles = {"a.png", "b.jpg", "c.gif"};
  book.ImageNotes = {kCyrillicNote, "", "last"};
  return book;
}

TEST(ProjectRoundTrip, EverySettingReadsBack) {
  ScratchFolder folder;
  TVelkaro book = FullBook();
  book.SaveProject((folder / "book.ini").string());
  ExpectSameSettings(Loaded(folder / "book.ini"), book);

  // Every flag the other way round.
  book.Font->Bold = false;
  book.Font->Italic = true;
  for (const IniSetting<TVelkaro>& setting : kBookKeys) {
    if (auto* flag = std::get_if<bool TVelkaro::*>(&setting.member)) {
      bool& value = book.*(*flag);
      value = !value;
    }
  }

  book.SaveProject((folder / "book.ini").string());
  ExpectSameSettings(Loaded(folder / "book.ini"), book);

  book.Font.reset();
  book.ImageFiles.clear();
  book.ImageNotes.clear();
  book.SaveProject((folder / "book.ini").string());
  ExpectSameSettings(Loaded(folder / "book.ini"), book);
}

// A project file saved in another character set than the system code page
// reads as the same settings, and the set is told.
TEST(ProjectLoad, ProjectFilesInOtherCharacterSets) {
  ScratchFolder folder;
  const std::string project =
      "[Options]\r\nBookName=Отцы и дети\r\nBookInfo=Роман Ивана Сергеевича Тургенева, "
      "написанный в 1860—1861 годах\r\n[Files]\r\nImageFileName1=a.png\r\n"
      "ImageNote1=Базаров и Аркадий\r\n";
  const struct {
    std::string charset, bytes, told;
  } cases[] = {
      {"UTF-8", project, ""},
      {"UTF-8", "\xEF\xBB\xBF" + project, ""},
      {"WINDOWS-1251", ConvertCharset(project, "UTF-8", "WINDOWS-1251"), "WINDOWS-1251"},
      {"UTF-16LE", "\xFF\xFE" + ConvertCharset(project, "UTF-8", "UTF-16LE"), "UTF-16LE"},
      {"UTF-16BE", "\xFE\xFF" + ConvertCharset(project, "UTF-8", "UTF-16BE"), "UTF-16BE"},
      {"UTF-16LE", ConvertCharset(project, "UTF-8", "UTF-16LE"), "UTF-16LE"},
  };
  for (const auto& c : cases) {
    const TVelkaro book = Loaded(folder.Write("book.ini", c.bytes));
    EXPECT_EQ(book.BookName, "Отцы и дети") << c.charset;
    EXPECT_EQ(book.BookInfo, "Роман Ивана Сергеевича Тургенева, написанный в 1860—1861 годах")
        << c.charset;
    EXPECT_EQ(book.ImageNotes, std::vector<std::string>{"Базаров и Аркадий"}) << c.charset;
    EXPECT_EQ(book.ProjectEncoding, c.told) << c.charset;
  }
}

TEST(ProjectSave, NewFileHoldsEverySettingUnderItsKeyInOrder) {
  ScratchFolder folder;
  FullBook().SaveProject((folder / "book.ini").string());
  EXPECT_EQ(ReadBytes(folder / "book.ini"),
            "[Colors]\r\nFontColor=1193046\r\nBackColor=658188\r\n"
            "[Font]\r\nFontSize=11\r\nFontName=DejaVu Serif\r\nFont.Bold=1\r\nFont.Italic=0\r\n"
            "Type=0\r\n"
            "[Options]\r\nBookMode=1\r\nBookName=" +
                kCyrillicBook + "\r\nBookInfo=" + kCyrillicBook +
                " = by someone; 2nd edition\r\nPartSize=60000\r\nLineSpacing=-1\r\n"
                "CharSpacing=1\r\nWordWrap=1\r\nPortraitLayout=0\r\nFormat=1\r\nTags=0\r\n"
                "Password=1234\r\nPasswordMode=2\r\nImageMode=6\r\n"
                "ImagePngOptions=-colors 256\r\nImageJpgOptions=-quality 60\r\n"
                "ImageSize=32000\r\nEncoding=KOI8-R\r\nJoinLines=1\r\nStyleHeadings=1\r\n"
                "MaxJarSize=65536\r\nCompression=9\r\n"
                "[Files]\r\nTextFileName=books/" +
                kCyrillicBook +
                ".txt\r\nSplashFileName=splash.png\r\nIconFileName=icon.png\r\n"
                "ImageFileName1=a.png\r\nImageNote1=" +
                kCyrillicNote +
                "\r\nImageFileName2=b.jpg\r\nImageNote2=\r\n"
                "ImageFileName3=c.gif\r\nImageNote3=last\r\n");
}

TEST(ProjectSave, AbsentFontWritesOnlyTheType) {
  ScratchFolder folder;
  TVelkaro book = TVelkaro::CreateDefault();
  book.Font.reset();
  book.SaveProject((folder / "new.ini").string());
  EXPECT_NE(ReadBytes(folder / "new.ini").find("[Font]\r\nType=1\r\n[Options]"), std::string::npos);

  auto old = folder.Write("old.ini", "[Font]\nFontSize=12\nFontName=Serif\nType=0\n");
  book.SaveProject(old.string());
  EXPECT_TRUE(
      ReadBytes(old).starts_with("[Font]\nFontSize=12\nFontName=Serif\nType=1\r\n[Colors]"));
  EXPECT_FALSE(Loaded(old).Font.has_value());
}

TEST(ProjectSave, OtherLinesOfAnExistingFileStay) {
  ScratchFolder folder;
  auto path = folder.Write(
      "book.ini", "; written by hand\n[options]\nbookname=Old\nMyOwnKey=42\n\n[Extra]\nx=y\n");
  TVelkaro book = TVelkaro::CreateDefault();
  book.BookName = "New";
  book.SaveProject(path.string());
  std::string saved = ReadBytes(path);
  EXPECT_TRUE(saved.starts_with(
      "; written by hand\n[options]\nbookname=New\r\nMyOwnKey=42\nBookMode=0\r\nBookInfo="));
  EXPECT_NE(saved.find("Compression=1\r\n\n[Extra]\nx=y\n[Colors]\r\n"), std::string::npos);
}

TEST(ProjectSave, ShorterPictureListLeavesNoStaleKeys) {
  ScratchFolder folder;
  auto path = folder.Write("book.ini",
                           "[Files]\nImageFileName9=stray.png\nimagenote12=stray\n"
                           "ImageFileNameX=kept\nImageFileName=kept\n");
  TVelkaro book = FullBook();
  book.SaveProject(path.string());
  book.ImageFiles = {"only.png"};
  book.ImageNotes = {"one"};
  book.SaveProject(path.string());

  TVelkaro loaded = Loaded(path);
  EXPECT_EQ(loaded.ImageFiles, book.ImageFiles);
  EXPECT_EQ(loaded.ImageNotes, book.ImageNotes);
  std::string saved = ReadBytes(path);
  EXPECT_EQ(saved.find("stray"), std::string::npos);
  EXPECT_EQ(saved.find("ImageNote2"), std::string::npos);
  EXPECT_NE(saved.find("ImageFileNameX=kept\nImageFileName=kept\n"), std::string::npos);
}

TEST(ProjectLoad, MissingKeysKeepTheCurrentValues) {
  ScratchFolder folder;
  TVelkaro book = FullBook();
  TVelkaro before = FullBook();
  EXPECT_TRUE(book.LoadProject((folder / "absent.ini").string(), nullptr));
  before.ImageFiles.clear();  // the list is always read anew
  before.ImageNotes.clear();
  before.Font->Bold = false;  // and so is the style
  before.Font->Italic = false;
  ExpectSameSettings(book, before);

  TVelkaro fresh = Loaded(folder.Write("empty.ini", "[Options]\nBookName=Only a name\n"));
  EXPECT_EQ(fresh.Font, DesktopFont());
  EXPECT_FALSE(fresh.BookMode);  // a photo book
  EXPECT_EQ(fresh.PartSize, 0);
  EXPECT_EQ(fresh.BackColor, 0xFFFFFF);
}

TEST(ProjectLoad, FontSection) {
  ScratchFolder folder;
  auto typed_away = folder.Write("a.ini", "[Font]\nFontName=Serif\nFontSize=20\nType=1\n");
  EXPECT_FALSE(Loaded(typed_away).Font.has_value());

  TVelkaro without_font = TVelkaro::CreateDefault();
  without_font.Font.reset();
  auto partial = folder.Write("b.ini", "[FONT]\nfont.bold=1\nFontSize=$0C\n");
  EXPECT_TRUE(without_font.LoadProject(partial.string(), nullptr));
  EXPECT_EQ(without_font.Font, (DesktopFont{.Name = "Sans", .Size = 12, .Bold = true}));
}

TEST(ProjectLoad, NumbersAndTexts) {
  ScratchFolder folder;
  TVelkaro book = TVelkaro::CreateDefault();
  book.PartSize = 500;
  book.PasswordMode = 1;
  auto path = folder.Write("book.ini",
                           "[Options]\r\nPartSize=0x10\r\nPassword=77\r\nLineSpacing=-1\r\n"
                           "ImageSize=$FF\r\nBookInfo=" +
                               std::string(3000, 'i') +
                               "\r\n"
                               "[Colors]\r\nFontColor=16711680\r\n");
  EXPECT_TRUE(book.LoadProject(path.string(), nullptr));
  EXPECT_EQ(book.PartSize, 16);
  EXPECT_EQ(book.Password, 77);
  EXPECT_EQ(book.PasswordMode, 1);
  EXPECT_EQ(book.LineSpacing, -1);
  EXPECT_EQ(book.ImageSize, 255);
  EXPECT_EQ(book.BookInfo, std::string(2047, 'i'));
  EXPECT_EQ(book.FontColor, 0xFF0000);

  EXPECT_TRUE(
      book.LoadProject(folder.Write("abc.ini", "[Options]\nPartSize=abc\n").string(), nullptr));
  EXPECT_EQ(book.PartSize, 16);
}

TEST(ProjectLoad, PictureListEndsAtTheFirstEmptyFileName) {
  ScratchFolder folder;
  TVelkaro book = Loaded(
      folder.Write("three.ini",
                   "[Files]\nImageFileName1=a\nImageFileName2=b\nImageNote2=\nImageFileName3=c\n"
                   "ImageFileName4=\nImageFileName5=e\n"));
  EXPECT_EQ(book.ImageFiles, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(book.ImageNotes, (std::vector<std::string>{"", "", ""}));

  EXPECT_TRUE(book.LoadProject(
      folder.Write("gap.ini", "[Files]\nImageFileName2=b\nImageNote1=n\n").string(), nullptr));
  EXPECT_TRUE(book.ImageFiles.empty());
  EXPECT_TRUE(book.ImageNotes.empty());
}

TEST(ProjectRobustness, BinaryFileLoadsWithoutHarm) {
  ScratchFolder folder;
  std::mt19937 random(11);
  std::string bytes(256 << 10, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  bytes += "\n[Options]\nBookName=found\n";
  TVelkaro book = Loaded(folder.Write("binary.ini", bytes));
  EXPECT_EQ(book.BookName, "found");

  std::string long_line(10 << 20, '=');
  EXPECT_EQ(
      Loaded(folder.Write("long.ini", "[Files]\nImageFileName1" + long_line)).ImageFiles.size(),
      1u);
}

TEST(ProjectRobustness, UnreadableFileIsReported) {
  ScratchFolder folder;
  TVelkaro book = TVelkaro::CreateDefault();
  book.BookName = "kept";
  std::string error;
  EXPECT_FALSE(book.LoadProject(folder.path().string(), &error));
  EXPECT_EQ(error, folder.path().string() + " is a folder");
  EXPECT_EQ(book.BookName, "kept");

  std::string load_error;
  TVelkaro::CreateFromProject(folder.path().string(), &load_error);
  EXPECT_EQ(load_error, folder.path().string() + " is a folder");

  book.SaveProject(folder.path().string());  // discarded without a word
  book.SaveProject((folder / "no-folder" / "book.ini").string());
  EXPECT_FALSE(std::filesystem::exists(folder / "no-folder"));
}

}  // namespace
}  // namespace velkaro
