#include "imaging/geometry/quarter_turn.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
namespace cvl::imaging {
namespace {

// Images of one byte per pixel written as strings, one letter a pixel, rows top to bottom.
ImageView grey(std::string& s, int32_t w, int32_t h) {
  return {reinterpret_cast<uint8_t*>(s.data()), w, h, 1, w};
}

TEST(QuarterTurn, MovesEveryPixelToItsTurnedPlace) {
  struct Case {
    QuarterTurn turn;
    int32_t w, h;
    std::string expected;
  };
  // Source, 3 x 2:  abc
  //                 def
  const Case cases[] = {
      {QuarterTurn::Right, 2, 3, "daebfc"},
      {QuarterTurn::Left, 2, 3, "cfbead"},
      {QuarterTurn::Half, 3, 2, "fedcba"},
  };
  for (const Case& c : cases) {
    std::string src = "abcdef", dst(6, '?');
    ASSERT_TRUE(rotate_quarter(grey(src, 3, 2), grey(dst, c.w, c.h), c.turn));
    EXPECT_EQ(dst, c.expected) << int(c.turn);
  }
}

TEST(QuarterTurn, LargeRgbaImagesRoundTripThroughFourTurns) {
  // Bigger than one tile and not a multiple of it, so the tiled walk's edges are covered.
  const int32_t w = 131, h = 70;
  std::vector<uint8_t> a(size_t(w) * h * 4), b(a.size());
  for (size_t i = 0; i < a.size(); ++i) a[i] = uint8_t(i * 7 + i / 13);
  const std::vector<uint8_t> original = a;
  ImageView va{a.data(), w, h, 4, w * 4}, vb{b.data(), h, w, 4, h * 4};
  ASSERT_TRUE(rotate_quarter(va, vb, QuarterTurn::Right));
  // The top-left source pixel lands in the top-right corner after a right turn.
  EXPECT_EQ(0, std::memcmp(&b[size_t(h - 1) * 4], &a[0], 4));
  ASSERT_TRUE(rotate_quarter(vb, va, QuarterTurn::Left));
  EXPECT_EQ(a, original);
}

TEST(QuarterTurn, RefusesADestinationOfTheWrongShape) {
  std::string src = "abcdef", dst(6, '?');
  EXPECT_FALSE(rotate_quarter(grey(src, 3, 2), grey(dst, 3, 2), QuarterTurn::Right));
  EXPECT_EQ(dst, "??????");
}

}  // namespace
}  // namespace cvl::imaging
