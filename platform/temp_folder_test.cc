#include "platform/temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "platform/io_error.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

// Points TMPDIR elsewhere for one test.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("TMPDIR");
    if (old) previous_ = old;
    had_previous_ = old != nullptr;
  }
  void TearDown() override {
    if (had_previous_) {
      setenv("TMPDIR", previous_.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  std::string previous_;
  bool had_previous_ = false;
};

TEST_F(TempFolderTest, PrivateUniqueAndGoneWithAllItHolds) {
  fs::path first_path;
  {
    const TempFolder first("velkaro-unit-");
    const TempFolder second("velkaro-unit-");
    first_path = first.path();
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(first.path().parent_path(), fs::temp_directory_path());
    EXPECT_TRUE(first.path().filename().string().starts_with("velkaro-unit-"));
    EXPECT_EQ(fs::status(first.path()).permissions(), fs::perms::owner_all);

    fs::create_directories(first.path() / "a" / "b");
    std::ofstream(first.path() / "a" / "b" / "file") << "bytes";
    fs::permissions(first.path(), fs::perms::owner_read | fs::perms::owner_exec);
  }
  EXPECT_FALSE(fs::exists(first_path));
}

TEST_F(TempFolderTest, FollowsTmpdirAndReportsAFolderItCannotMake) {
  const TempFolder parent("velkaro-unit-");
  setenv("TMPDIR", parent.path().c_str(), 1);
  EXPECT_EQ(TempFolder("x-").path().parent_path(), parent.path());

  setenv("TMPDIR", (parent.path() / "missing").c_str(), 1);
  try {
    TempFolder("x-");
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
}

}  // namespace
}  // namespace velkaro
