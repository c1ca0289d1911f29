#include "engine/markers.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace velkaro {
namespace {

// The codes phones and saved working texts already hold: kind in the top
// four bits, number in the low twelve.
TEST(MarkersTest, CodesKeepTheirLayout) {
  for (const auto& [kind, number, code] : std::vector<std::tuple<int, int, char16_t>>{
           {1, 1, 0x1001}, {2, 4095, 0x2FFF}, {4, 17, 0x4011}, {kHeadingKind, 3, 0x5003}}) {
    EXPECT_EQ(MarkerCode(kind, number), code);
    EXPECT_EQ(MarkerKind(code), kind);
    EXPECT_EQ(MarkerNumber(code), number);
  }
  EXPECT_EQ(MarkerText(0x5003), std::u16string({1, 0x5003, 2}));
  EXPECT_TRUE(IsHeadingCode(0x5FFF));
  EXPECT_FALSE(IsHeadingCode(0x4FFF));
  EXPECT_FALSE(IsHeadingCode(0x6000));
}

TEST(MarkersTest, AMarkerIsStartCodeEndWithinTheText) {
  const std::u16string text = u"a" + MarkerText(0x2001) + std::u16string({1, 0x2002});
  EXPECT_TRUE(IsMarkerAt(text, 1));
  for (size_t i : {0, 2, 3, 4, 5, 9}) EXPECT_FALSE(IsMarkerAt(text, i)) << i;
}

TEST(MarkersTest, PictureKindsFollowTheNameEndingInAnyCase) {
  for (const auto& [name, kind] : std::vector<std::pair<std::string, int>>{{"a.jpg", 1},
                                                                           {"B.PNG", 2},
                                                                           {"dir.x/c.Gif", 3},
                                                                           {".bmp", 4},
                                                                           {"a.jpeg", 0},
                                                                           {"jpg", 0},
                                                                           {"a.txt", 0},
                                                                           {"", 0}}) {
    EXPECT_EQ(PictureKindOfName(name), kind) << name;
    if (kind != 0) {
      EXPECT_EQ(PictureKindOfName(PictureExtension(kind)), kind);
    }
  }
  EXPECT_EQ(PictureExtension(2), ".png");
  EXPECT_TRUE(PictureExtension(0).empty());
  EXPECT_TRUE(PictureExtension(kHeadingKind).empty());
}

}  // namespace
}  // namespace velkaro
