#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/velkaro.h"
#include "engine/working_text.h"
#include "platform/code_page.h"
#include "platform/io_error.h"
#include "tests/docx_maker.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

class Lines : public LogSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// The default binary is the tiny PNG of the test document maker.
std::string Fb2(const std::string& body, const std::string& binary =
                                             "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQ"
                                             "VR4nGNgAAAAAgABSK+kcQAAAABJRU5ErkJggg==") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><FictionBook "
         "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
         "xmlns:l=\"http://www.w3.org/1999/xlink\"><body>" +
         body + "</body><binary id=\"a.png\" content-type=\"image/png\">" + binary +
         "</binary></FictionBook>";
}

TEST(EbookImportTest, BooksBecomeTextWithHeadingAndPictureTags) {
  testing::ScratchFolder folder;
  const std::string source =
      folder
          .Write("book.fb2", Fb2("<title><p>Book</p></title><section><title><p>One</p></title>"
                                 "<p><image l:href=\"#a.png\"/>Text</p></section>"))
          .string();
  const std::string work = (folder / "work").string();
  std::filesystem::create_directory(work);
  struct Case {
    const char* what;
    std::string work_folder;
    int image_mode;
    std::string text;
  };
  const Case cases[] = {
      {"preview", "", 0, "<p1>Book\r\r\n<p2>One\r\r\n<img pic1>Text\r\r\n "},
      {"build without pictures", work, 0, "<p1>Book\r\r\n<p2>One\r\r\nText\r\r\n "},
      {"build", work, 1, "<p1>Book\r\r\n<p2>One\r\r\n<img " + work + "/tmp1.png>Text\r\r\n "},
  };
  for (const Case& c : cases) {
    TVelkaro book = TVelkaro::CreateDefault();
    Lines log;
    book.LogView = &log;
    book.ImageMode = c.image_mode;
    book.ImageSize = 10000;  // the test picture is far smaller
    std::string caption;
    const std::u16string text = book.LoadSourceText(source, c.work_folder, &caption);
    EXPECT_EQ(WideToAnsi(text), c.text) << c.what;
    EXPECT_TRUE(book.Tags) << c.what;
    const std::string letters = std::to_string(text.size() - 1) + " letters";
    EXPECT_EQ(caption, "FB2, " + letters + ")") << c.what;
    ASSERT_FALSE(log.lines.empty()) << c.what;
    EXPECT_EQ(log.lines.back(), "Loaded FB2 book (" + letters + ")") << c.what;
  }
  EXPECT_EQ(testing::ReadBytes(work + "/tmp1.png"), testing::TinyPng());
}

// The tags of an e-book are all the reader's own: a "<" of its text is a
// letter, whatever follows it, and reaches the working text.
TEST(EbookImportTest, EveryLessThanOfTheBookIsALetter) {
  testing::ScratchFolder folder;
  const std::string source =
      folder
          .Write("book.fb2", Fb2("<section><title><p>&lt;&lt;Keys&gt;&gt;</p></title>"
                                 "<p>a &lt;b&gt; c &lt;p2&gt; &lt;--- d</p><p>&lt;img x&gt;</p>"
                                 "</section>"))
          .string();
  TVelkaro book = TVelkaro::CreateDefault();
  const std::u16string text = book.LoadSourceText(source, "", nullptr);
  const WorkingText working = PrepareWorkingText(text, book.Tags, true);
  EXPECT_EQ(WideToAnsi(working.text), "<<Keys>>\r a <b> c <p2> <--- d\r <img x>\r\r ");
  EXPECT_EQ(working.headings, std::vector<int32_t>{2});
}

TEST(EbookImportTest, DamagedPicturesAreLeftOutWithALogLine) {
  testing::ScratchFolder folder;
  const std::string source =
      folder.Write("bad.fb2", Fb2("<p><image l:href=\"#a.png\"/>text</p>", "iVB!")).string();
  TVelkaro book = TVelkaro::CreateDefault();
  Lines log;
  book.LogView = &log;
  EXPECT_EQ(book.LoadSourceText(source, "", nullptr), u"text\r\r\n ");
  EXPECT_EQ(log.lines.front(), "Picture a.png is not valid base64, left out");
}

TEST(EbookImportTest, BooksWithoutLettersFail) {
  testing::ScratchFolder folder;
  const std::string source = folder.Write("empty.fb2", Fb2("<p> </p><empty-line/>")).string();
  TVelkaro book = TVelkaro::CreateDefault();
  EXPECT_EQ(testing::FailureOf([&] { book.LoadSourceText(source, "", nullptr); }),
            "Can not load text from file " + source + ", error: Document " + source +
                " holds no text");
}

}  // namespace
}  // namespace velkaro
