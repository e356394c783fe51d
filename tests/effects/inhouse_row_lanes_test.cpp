// Grey and invert rows in lanes against the plain loops, on rows that end
// part way into a group of eight, written apart and in place.
#include "effects/inhouse_row_lanes.h"

#include <gtest/gtest.h>

#include <vector>

#include "imaging/lcg15.h"

namespace cvl::inhouse_rows {
namespace {

TEST(InhouseRowLanes, LanesGiveThePlainBytesApartAndInPlace) {
  using Row = void (*)(const uint8_t*, uint8_t*, int32_t);
  imaging::Lcg15 rng(3);
  for (const Row row : {Row(grey_row), Row(invert_row)})
    for (int32_t n = 0; n <= 37; ++n) {
      std::vector<uint8_t> in(size_t(n) * 4);
      for (uint8_t& v : in) v = uint8_t(rng.next());
      if (n > 0) in[0] = in[1] = in[2] = 255;  // the largest sum, 765
      std::vector<uint8_t> plain(in.size()), lanes(in.size()), in_place = in;
      use_portable_rows(true);
      row(in.data(), plain.data(), n);
      use_portable_rows(false);
      row(in.data(), lanes.data(), n);
      row(in_place.data(), in_place.data(), n);
      ASSERT_EQ(lanes, plain) << n;
      ASSERT_EQ(in_place, plain) << n;
    }
}

TEST(InhouseRowLanes, GreyIsTheTruncatedMeanAndInvertKeepsAlpha) {
  // Eight copies, so the lanes do the work.
  std::vector<uint8_t> in, grey(32), inverted(32);
  for (int k = 0; k < 8; ++k) in.insert(in.end(), {10, 20, 33, 77});
  grey_row(in.data(), grey.data(), 8);
  invert_row(in.data(), inverted.data(), 8);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(std::vector<uint8_t>(grey.begin() + k * 4, grey.begin() + k * 4 + 4),
              (std::vector<uint8_t>{21, 21, 21, 77}));
    EXPECT_EQ(std::vector<uint8_t>(inverted.begin() + k * 4, inverted.begin() + k * 4 + 4),
              (std::vector<uint8_t>{245, 235, 222, 77}));
  }
}

}  // namespace
}  // namespace cvl::inhouse_rows
