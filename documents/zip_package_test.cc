#include "documents/zip_package.h"

#include <gtest/gtest.h>
#include <zip.h>

#include "documents/docx_reader.h"
#include "platform/code_page.h"
#include "tests/docx_maker.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

constexpr uint64_t kMegabyte = 1 << 20;

TEST(ZipPackageTest, APartNamedManyTimesIsInflatedOnceAndCopiesAreBounded) {
  testing::ScratchFolder folder;
  const struct {
    const char* what;
    int32_t method;
    size_t references;  // copies a reader keeps
    std::string failure;
  } cases[] = {
      {"bzip2, within the bound", ZIP_CM_BZIP2, 3, ""},
      {"bzip2, past the bound", ZIP_CM_BZIP2, 300, "The document unpacks to more than 8 MB"},
      {"deflate, past the bound", ZIP_CM_DEFLATE, 4, "The document unpacks to more than 8 MB"},
      {"stored, within the bound", ZIP_CM_STORE, 2, ""},
  };
  const std::string picture(2 * kMegabyte, 'p');
  for (const auto& c : cases) {
    const auto path = folder / "book.zip";
    testing::WriteZip(path, {{"big.png", picture}, {"page.xml", "<p/>"}}, c.method);
    const ZipPackage package(path.string(), 8 * kMegabyte);
    const std::string failure = testing::FailureOf([&] {
      for (size_t i = 0; i < c.references; ++i) {
        EXPECT_EQ(package.Read("big.png").size(), picture.size());
        EXPECT_EQ(package.Copy("big.png"), picture);
      }
    });
    EXPECT_EQ(failure, c.failure.empty() ? "no failure" : c.failure) << c.what;
    EXPECT_EQ(package.InflatedBytes(), picture.size()) << c.what;
  }
}

TEST(ZipPackageTest, EncryptedPartsSaySo) {
  if (!zip_encryption_method_supported(ZIP_EM_AES_256, 1)) GTEST_SKIP() << "no AES in libzip";
  testing::ScratchFolder folder;
  const auto path = folder / "locked.docx";
  testing::WriteZip(path, {{"_rels/.rels", "<Relationships/>"}}, ZIP_CM_DEFLATE, "secret");
  EXPECT_EQ(testing::FailureOf([&] { ZipPackage(path.string()).Read("_rels/.rels"); }),
            "Document part _rels/.rels is encrypted");
}

TEST(ZipPackageTest, WordPartsInUtf16WithAByteOrderMark) {
  testing::ScratchFolder folder;
  const std::string rels =
      "<?xml version=\"1.0\" encoding=\"UTF-16\"?><Relationships><Relationship Id=\"d\" "
      "Type=\"x/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-16\"?><w:document "
      "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p>"
      "<w:r><w:t>Привет, UTF-16</w:t></w:r></w:p></w:body></w:document>";
  for (const auto& [charset, mark] :
       {std::pair{"UTF-16LE", "\xFF\xFE"}, {"UTF-16BE", "\xFE\xFF"}}) {
    const auto path = folder / "utf16.docx";
    testing::WriteZip(path,
                      {{"_rels/.rels", mark + ConvertCharset(rels, "UTF-8", charset)},
                       {"word/document.xml", mark + ConvertCharset(document, "UTF-8", charset)}});
    const Document read = ReadDocx(path.string(), {});
    ASSERT_EQ(read.paragraphs.size(), 1u) << charset;
    EXPECT_EQ(read.paragraphs[0].text, u"Привет, UTF-16\r") << charset;
  }
}

}  // namespace
}  // namespace velkaro
