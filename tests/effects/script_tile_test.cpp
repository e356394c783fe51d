// The repeated grey of a script's or a file's tile, which the texturized emboss
// lights by, against the grey of the full-size repeated colour image.
#include "effects/script_tile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/encode.h"
#include "imaging/tone/grey.h"

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
