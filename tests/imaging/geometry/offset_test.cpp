#include "imaging/geometry/offset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace cvl::imaging {
namespace {

ImageView letters(std::string& s, int32_t w, int32_t h) { return {reinterpret_cast<uint8_t*>(s.data()), w, h, 1, w}; }

TEST(Offset, ShiftsWithEachEdgeRule) {
  // Source, 4 x 2:  abcd
  //                 efgh
  struct Case {
    int32_t dx, dy, code;
    std::string expected;
  };
  const Case cases[] = {
      {1, 0, 1, "dabchefg"},    // wrap
      {-1, 1, 1, "fghebcda"},   // wrap both ways
      {2, 0, 2, "aaabeeef"},    // repeat the edge
      {0, -1, 2, "efghefgh"},   // repeat the bottom row upwards
      {1, 1, 0, "....-abc"},    // fill
      {-3, 0, 3, "d...h..."},   // fill, code 3
      {9, 0, 1, "dabchefg"},    // a shift of more than the width wraps round
      {9, 0, 0, "........"},    // and with fill leaves nothing
      {0, 0, 1, "abcdefgh"},
  };
  for (const Case& c : cases) {
    std::string src = "abcdefgh", dst(8, '?');
    EdgeMode mode;
    ASSERT_TRUE(edge_mode_from_code(c.code, &mode));
    const uint8_t fill = '.';
    ASSERT_TRUE(offset_image(letters(src, 4, 2), letters(dst, 4, 2), c.dx, c.dy, mode, &fill));
    std::string want = c.expected;
    std::replace(want.begin(), want.end(), '-', '.');
    EXPECT_EQ(dst, want) << c.dx << "," << c.dy << " code " << c.code;
  }
}

TEST(Offset, OnlyFourEdgeCodesAreKnown) {
  EdgeMode mode;
  for (int32_t code : {-1, 4, 100}) EXPECT_FALSE(edge_mode_from_code(code, &mode));
}

}  // namespace
}  // namespace cvl::imaging
