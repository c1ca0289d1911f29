#include "engine/utf8_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/code_page.h"

namespace velkaro {
namespace {

std::u16string BookUtf8(std::string_view bytes) {
  std::u16string letters(bytes.size(), u'\0');
  letters.resize(DecodeBookUtf8(bytes, letters.data()));
  return letters;
}

std::u16string LocaleUtf8(std::string_view bytes) {
  std::u16string letters(bytes.size(), u'\0');
  letters.resize(DecodeLocaleUtf8(bytes, letters.data()));
  return letters;
}

TEST(BookUtf8Test, DecodesOneLetterPerSequence) {
  EXPECT_EQ(BookUtf8("a\xC3\xA9\xE2\x82\xAC"), u"a\u00E9\u20AC");
  // U+1F600 keeps only its low 16 bits.
  EXPECT_EQ(BookUtf8("\xF0\x9F\x98\x80!"), std::u16string({0xF600, u'!'}));
}

TEST(BookUtf8Test, AsciiInsideASequenceIsEmittedAndTheSequenceGoesOn) {
  EXPECT_EQ(BookUtf8("\xE2"
                     "A\x82\xAC"),
            u"A\u20AC");
}

TEST(BookUtf8Test, StrayContinuationBytesGiveNothing) {
  EXPECT_EQ(BookUtf8("\x80\xBF"
                     "ab\x80"
                     "c"),
            u"abc");
  // Once the count has gone below zero, a new lead byte starts afresh.
  EXPECT_EQ(BookUtf8("\x80\x80\xC3\xA9"), u"\u00E9");
}

TEST(BookUtf8Test, UnfinishedSequencesGiveNothing) {
  EXPECT_EQ(BookUtf8("ab\xE2\x82"), u"ab");
  EXPECT_EQ(BookUtf8("\xE2\x82\xC3\xA9"), u"\u00E9");
}

TEST(BookUtf8Test, LeadBytesWithManyOnesExpectAtMostSixContinuations) {
  // 0xFE and 0xFF both expect six; their own bits add nothing.
  EXPECT_EQ(BookUtf8("\xFF\x80\x80\x80\x80\x80\x81"), std::u16string(1, 1));
  EXPECT_EQ(BookUtf8("\xFE\x80\x80\x80\x80\x81"), u"");
  EXPECT_EQ(BookUtf8("\xFC\x80\x80\x80\x80\xBF"), std::u16string(1, 0x3F));
}

TEST(LocaleUtf8Test, DecodesLikeTheSystemConversion) {
  EXPECT_EQ(LocaleUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(LocaleUtf8("\xC0\x80"
                       "a"),
            u"\uFFFD\uFFFD"
            "a");                                                // overlong
  EXPECT_EQ(LocaleUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // a surrogate
  EXPECT_EQ(LocaleUtf8("\xE2\x82"
                       "A"),
            u"\uFFFD\uFFFD"
            "A");
  EXPECT_EQ(LocaleUtf8("A\xE2\x82"), u"A\uFFFD");  // cut short by the end
  EXPECT_EQ(LocaleUtf8("\xF0\x80\x80"), u"\uFFFD");
  // The old six-byte form never decodes, but is one unfinished sequence at the end.
  EXPECT_EQ(LocaleUtf8("\xFC\x80\x80\x80\x80\x80"), std::u16string(6, u'\uFFFD'));
  EXPECT_EQ(LocaleUtf8("a\xFC\xBF"), u"a\uFFFD");
}

// The platform's conversion is the reference for the system code page.
TEST(LocaleUtf8Test, AgreesWithThePlatformOnRandomBytes) {
  if (SystemCharset() != "UTF-8") GTEST_SKIP() << "the locale is not UTF-8";
  std::mt19937 random(7);
  // Bytes drawn mostly from the interesting ranges so sequences form often.
  const std::string alphabet =
      "aZ\x80\x8F\x90\x9F\xA0\xBF\xC0\xC2\xDF\xE0\xE1\xED\xEF\xF0\xF1\xF4\xF5\xF8\xFC\xFE\xFF";
  for (int round = 0; round < 50000; ++round) {
    std::string bytes(random() % 12, '\0');
    for (char& b : bytes) b = alphabet[random() % alphabet.size()];
    ASSERT_EQ(LocaleUtf8(bytes), AnsiToWide(bytes)) << ::testing::PrintToString(bytes);
    ASSERT_EQ(IsValidUtf8(bytes), IsValidIn(bytes, "UTF-8")) << ::testing::PrintToString(bytes);
  }
}

TEST(LocaleUtf8Test, IsValidUtf8) {
  for (const auto& [bytes, valid] : std::vector<std::pair<std::string, bool>>{
           {"", true},
           {"plain", true},
           {"\xD0\x94\xE6\x97\xA5\xF0\x9F\x98\x80", true},
           {"\xC4\xEE\xEC", false},      // cp1251
           {"\xD0", false},              // cut short
           {"\xC0\x80", false},          // overlong
           {"\xED\xA0\x80", false},      // a surrogate
           {"\xF4\x90\x80\x80", false},  // past U+10FFFF
       }) {
    EXPECT_EQ(IsValidUtf8(bytes), valid) << ::testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace velkaro
