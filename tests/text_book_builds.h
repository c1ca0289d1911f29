#ifndef VELKARO_TESTS_TEXT_BOOK_BUILDS_H_
#define VELKARO_TESTS_TEXT_BOOK_BUILDS_H_

// What the tests of whole text-book builds share: a book "Tales" with the
// phone's fonts and Format on, built into a scratch folder, and a reader of
// the integers of the phone's files.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/velkaro.h"
#include "tests/package_reader.h"
#include "tests/testing.h"

namespace velkaro::testing {

// The 32-bit integer at `offset`, high byte first.
inline uint32_t IntAt(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return v;
}

class TextBookBuilds : public ::testing::Test {
 protected:
  TextBookBuilds() : book_(TVelkaro::CreateDefault()) {
    book_.FileVersion = "4.7.0.246";
    book_.MidletsFolder = midlets().string();
    book_.TempFolder = (root_ / "temp").string();
    book_.BookName = "Tales";
    book_.BookMode = true;
    book_.Font.reset();
    book_.Format = true;
  }

  std::filesystem::path midlets() const { return root_ / "midlets"; }

  bool BuildFile(const std::filesystem::path& text_file) {
    book_.TextFileName = text_file.string();
    error_.clear();
    return book_.Build(&error_);
  }

  std::vector<std::string> LogLines() const {
    return LogFileLines(midlets() / (book_.BookName + ".log"));
  }

  Package PackageOf(const std::string& part_name) const {
    return ReadPackage(midlets() / (part_name + ".jar"));
  }

  ScratchFolder root_;
  TVelkaro book_;
  std::string error_;
};

}  // namespace velkaro::testing

#endif  // VELKARO_TESTS_TEXT_BOOK_BUILDS_H_
