#include "mask/marker_colour.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl {
namespace {

std::vector<uint8_t> pixels(std::initializer_list<uint32_t> colours) {
  std::vector<uint8_t> px;
  for (uint32_t c : colours) px.insert(px.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)});
  return px;
}

TEST(MarkerColour, FirstFreeColourWithRedFastestAndBlueSlowest) {
  struct Case {
    std::vector<uint8_t> px;
    int32_t marker;
  } cases[] = {
      {pixels({0x00FFFFFF}), 0},
      {pixels({0xFF000000, 0x00000001, 0x00000002}), 3},  // alpha plays no part
      {pixels({0x00000001}), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(find_marker_colour(c.px.data(), c.px.size() / 4), c.marker);

  // Every red beside green 0 and blue 0 taken: the search moves on to green 1.
  std::vector<uint8_t> px;
  for (uint32_t r = 0; r < 256; ++r) px.insert(px.end(), {uint8_t(r), 0, 0, 255});
  EXPECT_EQ(find_marker_colour(px.data(), 256), 256);
  px.insert(px.end(), {0, 1, 0, 255});
  px.insert(px.end(), {1, 1, 0, 255});
  EXPECT_EQ(find_marker_colour(px.data(), 258), 2 | 1 << 8);
  EXPECT_EQ(unpack_colour(2 | 1 << 8 | 3 << 16), (imaging::Colour{2, 1, 3, 0}));
}

TEST(MarkerColour, EveryColourPresentGives256) {
  std::vector<uint8_t> px(size_t{1} << 26);
  for (uint32_t c = 0; c < (1u << 24); ++c) {
    px[size_t(c) * 4] = uint8_t(c), px[size_t(c) * 4 + 1] = uint8_t(c >> 8), px[size_t(c) * 4 + 2] = uint8_t(c >> 16);
  }
  EXPECT_EQ(find_marker_colour(px.data(), size_t{1} << 24), 256);
  px[(0x123456u) * 4] = 0;  // colour 0x123456 now missing
  EXPECT_EQ(find_marker_colour(px.data(), size_t{1} << 24), 0x123456);
}

}  // namespace
}  // namespace cvl
