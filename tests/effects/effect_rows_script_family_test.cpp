#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codecs/encode.h"
#include "layers/ipl_images.h"
#include "effects/script_rows_fixture.h"

namespace cvl {
namespace {

using test::RowArgs;
using ScriptFamilies = test::ScriptRowsTest;

const std::string kBricks = std::string(CORVEL_EXAMPLES_DIR) + "/scripts/bricks.isc";

// A 3 x 2 picture file whose every pixel differs, half transparent.
std::string write_small_png() {
  const std::string path = ::testing::TempDir() + "script_family_tile.png";
  uint8_t px[3 * 2 * 4];
  for (int i = 0; i < 6; ++i) px[i * 4] = uint8_t(40 * i), px[i * 4 + 1] = uint8_t(200 - 30 * i), px[i * 4 + 2] = 7, px[i * 4 + 3] = 128;
  EXPECT_TRUE(imaging::write_png(path.c_str(), imaging::ImageView{px, 3, 2, 4, 12}));
  return path;
}

RowArgs with_text(const char* text, std::array<int32_t, 6> s = {500, 500, 500, 500, 500, 500}) {
  RowArgs a;
  a.text = text, a.S = s;
  return a;
}

TEST_F(ScriptFamilies, ANameThatIsNeitherScriptNorImageChangesNothing) {
  const std::string not_an_image = std::string(CORVEL_EXAMPLES_DIR) + "/../README.md";
  const char* texts[] = {"", "/nonexistent/brick.isc", not_an_image.c_str()};
  for (const char* family : {"Backgrounds", "Texturize Emboss", "Texturize Bump", "Displacement Bump"})
    for (const char* kind : {"Material", "Nature", "Surface", "Other", "Utility"})
      for (const char* text : texts) {
        const std::string name = std::string(family) + " " + kind;
        paint_varied();
        const std::vector<uint8_t> before = layer_bytes();
        EXPECT_EQ(run(name.c_str(), with_text(text)), 0) << name << " " << text;
        EXPECT_EQ(layer_bytes(), before) << name << " " << text;
      }
}

TEST_F(ScriptFamilies, BackgroundsTileAPlainImageFileOpaque) {
  const std::string path = write_small_png();
  ASSERT_NE(run("Backgrounds Surface", with_text(path.c_str(), {1000})), 0);
  const std::vector<uint8_t> after = layer_bytes();
  for (int y = 0; y < test::kH; ++y)
    for (int x = 0; x < test::kW; ++x) {
      const uint8_t* p = &after[(size_t(y) * test::kW + x) * 4];
      const int i = (y % 2) * 3 + x % 3;
      ASSERT_EQ(p[0], 40 * i) << x << "," << y;
      ASSERT_EQ(p[1], 200 - 30 * i) << x << "," << y;
      ASSERT_EQ(p[3], 255) << x << "," << y;
    }
}

TEST_F(ScriptFamilies, BackgroundsRenderAScriptAndScaleItsTile) {
  imaging::Image bricks;
  ASSERT_EQ(imagescript::render_script(kBricks.c_str(), bricks), imagescript::ScriptResult::Ok);
  run("Backgrounds Material", with_text(kBricks.c_str(), {1000}));
  std::vector<uint8_t> after = layer_bytes();
  for (int y = 0; y < test::kH; ++y)
    for (int x = 0; x < test::kW; ++x)
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(after[(size_t(y) * test::kW + x) * 4 + c], bricks.pixels[(size_t(y) * bricks.width + x) * 4 + c]);
  // At a quarter size the 64 x 32 tile is 16 x 8, so the canvas repeats it.
  run("Backgrounds Material", with_text(kBricks.c_str(), {250}));
  after = layer_bytes();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(after[(size_t(y) * test::kW + x) * 4], after[(size_t(y + 8) * test::kW + x + 16) * 4]);
}

TEST_F(ScriptFamilies, TexturizeBumpShadesTheLayerAndKeepsItsAlpha) {
  for (const int32_t flag : {0, 1}) {
    paint_varied(128);
    const std::vector<uint8_t> before = layer_bytes();
    RowArgs a = with_text(kBricks.c_str(), {800, 500, 500, 800, 0, 0});
    a.f[0] = flag;
    ASSERT_NE(run("Texturize Bump Nature", a), 0);
    const std::vector<uint8_t> after = layer_bytes();
    EXPECT_NE(after, before) << "f1 " << flag;
    for (size_t i = 3; i < after.size(); i += 4) ASSERT_EQ(after[i], 128) << i / 4;
  }
}

// One colour over the whole layer, so any shading an effect adds comes from its relief.
void paint_flat(Layer& layer, uint8_t alpha) {
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      uint16_t* p = test::pixel_at(layer, x, y);
      p[0] = 0xC800, p[1] = 0x7800, p[2] = 0x3C00, p[3] = uint16_t(alpha << 8);
    }
}

// On a flat layer the shading is the tile's: it repeats with the 3 x 2 picture
// (away from the canvas border, where the relief has no neighbours), and the
// layer's alpha is kept.
TEST_F(ScriptFamilies, TexturizeEmbossRepeatsAPlainImageFilesReliefAndKeepsAlpha) {
  const std::string path = write_small_png();
  paint_flat(e().slot(2), 128);
  const std::vector<uint8_t> before = layer_bytes();
  ASSERT_NE(run("Texturize Emboss Utility", with_text(path.c_str(), {300, 400, 1000})), 0);
  const std::vector<uint8_t> after = layer_bytes();
  EXPECT_NE(after, before);
  auto at = [&](int x, int y, int c) { return after[(size_t(y) * test::kW + x) * 4 + c]; };
  for (int y = 1; y + 2 < test::kH - 1; ++y)
    for (int x = 1; x + 3 < test::kW - 1; ++x)
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(at(x, y, c), at(x + 3, y, c)) << x << "," << y;
        ASSERT_EQ(at(x, y, c), at(x, y + 2, c)) << x << "," << y;
      }
  for (size_t i = 3; i < after.size(); i += 4) ASSERT_EQ(after[i], 128) << i / 4;
}

// "Emboss" lights a flat layer evenly, having no relief of its own; the
// texturized one shades it by the bricks' mortar.
TEST_F(ScriptFamilies, TexturizeEmbossTakesItsReliefFromTheScriptNotTheLayer) {
  auto distinct_colours = [&](const std::vector<uint8_t>& px) {
    std::vector<uint32_t> seen;
    for (size_t i = 0; i < px.size(); i += 4) seen.push_back(uint32_t(px[i]) | px[i + 1] << 8 | px[i + 2] << 16);
    std::sort(seen.begin(), seen.end());
    return std::unique(seen.begin(), seen.end()) - seen.begin();
  };
  for (const char* name : {"Emboss", "Texturize Emboss Material"}) {
    paint_flat(e().slot(2), 255);
    ASSERT_NE(run(name, with_text(kBricks.c_str(), {300, 400, 1000})), 0) << name;
    if (std::string(name) == "Emboss")
      EXPECT_EQ(distinct_colours(layer_bytes()), 1) << name;
    else
      EXPECT_GT(distinct_colours(layer_bytes()), 2) << name;
  }
}

TEST_F(ScriptFamilies, DisplacementBumpLooksThroughAnImageFileToo) {
  const std::string path = write_small_png();
  const std::vector<uint8_t> before = layer_bytes();
  ASSERT_NE(run("Displacement Bump Other", with_text(path.c_str(), {300})), 0);
  EXPECT_NE(layer_bytes(), before);
}

using Patterns = test::ScriptRowsTest;

// A 10-pixel tile cut about the middle (7..16 across, 5..14 down), not turned,
// repeated at its size; with f1 every other tile is mirrored.
TEST_F(Patterns, PatternizerRepeatsTheCutTileAndMirrorsOnRequest) {
  const std::vector<uint8_t> before = layer_bytes();
  auto src = [&](int x, int y) { return &before[(size_t(y) * test::kW + x) * 4]; };
  for (const int32_t mirror : {0, 1}) {
    RowArgs a;
    a.S = {500, 500, 500, 0, 500, 500};
    a.f[0] = mirror;
    paint_varied();
    ASSERT_NE(run("Patternizer", a), 0);
    const std::vector<uint8_t> after = layer_bytes();
    for (int y = 0; y < test::kH; ++y)
      for (int x = 0; x < test::kW; ++x) {
        int tx = x % 10, ty = y % 10;
        if (mirror && (x / 10) % 2) tx = 9 - tx;
        if (mirror && (y / 10) % 2) ty = 9 - ty;
        const uint8_t* p = &after[(size_t(y) * test::kW + x) * 4];
        ASSERT_EQ(p[0], src(7 + tx, 5 + ty)[0]) << mirror << " " << x << "," << y;
        ASSERT_EQ(p[1], src(7 + tx, 5 + ty)[1]) << mirror << " " << x << "," << y;
        ASSERT_EQ(p[3], 255);
      }
  }
}

TEST_F(Patterns, EveryBendChangesTheTile) {
  RowArgs a;
  a.S = {500, 500, 500, 0, 800, 500};
  run("Patternizer", a);
  const std::vector<uint8_t> plain = layer_bytes();
  for (const int32_t bit : {1, 2, 4, 8, 16}) {
    paint_varied();
    a.i1 = bit;
    ASSERT_NE(run("Patternizer", a), 0) << bit;
    EXPECT_NE(layer_bytes(), plain) << "bend " << bit;
  }
}

TEST_F(Patterns, PatternExplorerCutsFromTheStoredSourceNotTheLayer) {
  uint8_t* src = ipl_buffer(engine(), IplBuffer::Src32);
  for (int i = 0; i < test::kW * test::kH; ++i) src[i * 4] = 9, src[i * 4 + 1] = 99, src[i * 4 + 2] = 199, src[i * 4 + 3] = 255;
  ASSERT_NE(run("Pattern Explorer", RowArgs{}), 0);
  const std::vector<uint8_t> after = layer_bytes();
  for (size_t i = 0; i < after.size(); i += 4) ASSERT_EQ(after[i + 1], 99) << i / 4;
}

}  // namespace
}  // namespace cvl
