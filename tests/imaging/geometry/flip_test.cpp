#include "imaging/geometry/flip.h"

#include <gtest/gtest.h>

#include <string>

namespace cvl::imaging {
namespace {

ImageView bytes(std::string& s, int32_t w, int32_t h, int32_t channels) {
  return {reinterpret_cast<uint8_t*>(s.data()), w, h, channels, w * channels};
}

TEST(Flip, MirrorsRowsAndColumnsForAnyPixelSize) {
  std::string s = "abcdef";
  flip_horizontal(bytes(s, 3, 2, 1));
  EXPECT_EQ(s, "cbafed");
  flip_vertical(bytes(s, 3, 2, 1));
  EXPECT_EQ(s, "fedcba");
  // Three-byte pixels move whole.
  std::string rgb = "aaabbbcccddd";
  flip_horizontal(bytes(rgb, 2, 2, 3));
  EXPECT_EQ(rgb, "bbbaaadddccc");
  std::string rgba = "aaaabbbbcccc";
  flip_horizontal(bytes(rgba, 3, 1, 4));
  EXPECT_EQ(rgba, "ccccbbbbaaaa");
}

}  // namespace
}  // namespace cvl::imaging
