// The repeated grey of a script's or a file's tile, which the texturized emboss
// lights by, against the grey of the full-size repeated colour image.
#include "effects/script_tile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codecs/encode.h"
#include "imaging/tone/grey.h"
#include "imagescript/imagescript.h"

namespace cvl {
namespace {

// A 5 x 3 picture file whose pixels all differ, with alpha that varies too.
std::string write_tile_png() {
  const std::string path = ::testing::TempDir() + "script_tile_grey.png";
  uint8_t px[5 * 3 * 4];
  for (int i = 0; i < 15; ++i)
    px[i * 4] = uint8_t(17 * i), px[i * 4 + 1] = uint8_t(250 - 13 * i), px[i * 4 + 2] = uint8_t(i * i),
           px[i * 4 + 3] = uint8_t(i * 16);
  EXPECT_TRUE(imaging::write_png(path.c_str(), imaging::ImageView{px, 5, 3, 4, 20}));
  return path;
}

TEST(ScriptTile, RepeatedGreyIsTheGreyOfTheRepeatedImage) {
  const std::string png = write_tile_png();
  const std::string bricks = std::string(CORVEL_EXAMPLES_DIR) + "/scripts/bricks.isc";
  struct Size {
    int32_t w, h;
  };
  // Smaller than the tile, exact multiples, ragged ends, one row and one column.
  const Size sizes[] = {{1, 1}, {2, 1}, {4, 2}, {5, 3}, {10, 9}, {13, 7}, {1, 11}, {11, 1}, {150, 70}};
  for (const std::string& path : {png, bricks})
    for (const Size s : sizes) {
      imaging::Image colour;
      ASSERT_TRUE(tiled_script(path.c_str(), s.w, s.h, colour));
      std::vector<uint8_t> want(size_t(s.w) * s.h), got(3, 9);
      ASSERT_TRUE(imaging::image_to_grey(colour.view(), want.data(), s.w));
      ASSERT_TRUE(tiled_script_grey(path.c_str(), s.w, s.h, got));
      EXPECT_EQ(got, want) << path << " at " << s.w << " x " << s.h;
    }
}

// A 3 x 3 op, repeated edges, that weighs each neighbour differently, so a pixel
// spread from the wrong place of the small repeat shows.
bool weigh_neighbours(uint8_t* rgba, int32_t w, int32_t h) {
  const std::vector<uint8_t> in(rgba, rgba + size_t(w) * h * 4);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int32_t c = 0; c < 4; ++c) {
        int32_t sum = 0, weight = 1;
        for (int32_t dy = -1; dy <= 1; ++dy)
          for (int32_t dx = -1; dx <= 1; ++dx, weight += 2) {
            const int32_t sx = std::clamp(x + dx, 0, w - 1), sy = std::clamp(y + dy, 0, h - 1);
            sum += weight * in[(size_t(sy) * w + sx) * 4 + c];
          }
        rgba[(size_t(y) * w + x) * 4 + c] = uint8_t(sum ^ (sum >> 8));
      }
  return true;
}

TEST(ScriptTile, NeighbourhoodOpOnTheSmallRepeatGivesTheFullImagesBytes) {
  const std::string png = write_tile_png();
  const std::string bricks = std::string(CORVEL_EXAMPLES_DIR) + "/scripts/bricks.isc";
  const int32_t bump[] = {200, 13, -7};  // lighting: depth, height, direction
  const TileOp ops[] = {weigh_neighbours, [&](uint8_t* rgba, int32_t w, int32_t h) {
                          return imagescript::run_effect(27, bump, 3, rgba, w, h);
                        }};
  struct Size {
    int32_t w, h;
  };
  // Inside one tile, a tile and its edges exactly, a pixel past them, many
  // tiles with ragged ends, one row, one column.
  const Size sizes[] = {{1, 1},   {3, 2},    {7, 5},    {8, 6},  {64, 32}, {66, 34},
                        {67, 35}, {131, 70}, {200, 97}, {1, 90}, {90, 1}};
  for (const std::string& path : {png, bricks})
    for (const TileOp& op : ops)
      for (const Size s : sizes) {
        imaging::Image want, got;
        ASSERT_TRUE(tiled_script(path.c_str(), s.w, s.h, want));
        ASSERT_TRUE(op(want.pixels.data(), s.w, s.h));
        ASSERT_TRUE(tiled_script_through(path.c_str(), s.w, s.h, op, got));
        ASSERT_EQ(got.width, s.w);
        ASSERT_EQ(got.height, s.h);
        ASSERT_EQ(got.pixels, want.pixels) << path << " at " << s.w << " x " << s.h;
      }
  imaging::Image out;
  EXPECT_FALSE(tiled_script_through(
      png.c_str(), 9, 9, [](uint8_t*, int32_t, int32_t) { return false; }, out));
  EXPECT_FALSE(tiled_script_through("/nonexistent/tile.isc", 9, 9, weigh_neighbours, out));
}

TEST(ScriptTile, RepeatedGreyRefusesWhatTheColourTilingRefuses) {
  const std::string png = write_tile_png();
  const char* missing = "/nonexistent/tile.isc";
  struct Case {
    const char* path;
    int32_t w, h;
  } cases[] = {{missing, 4, 4}, {"", 4, 4}, {nullptr, 4, 4}, {png.c_str(), 0, 4}, {png.c_str(), 4, -1}};
  for (const Case& c : cases) {
    std::vector<uint8_t> grey;
    imaging::Image colour;
    EXPECT_FALSE(tiled_script(c.path, c.w, c.h, colour));
    EXPECT_FALSE(tiled_script_grey(c.path, c.w, c.h, grey));
  }
}

}  // namespace
}  // namespace cvl
