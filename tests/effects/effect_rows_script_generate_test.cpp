#include <gtest/gtest.h>

#include <string>

#include "effects/script_rows_fixture.h"

namespace cvl {
namespace {

using test::RowArgs;
using Generators = test::ScriptRowsTest;

RowArgs args(std::array<int32_t, 6> s, int32_t i1 = 0, int32_t i2 = 0, std::array<int32_t, 6> f = {}) {
  RowArgs a;
  a.S = s, a.i1 = i1, a.i2 = i2, a.f = f;
  a.r = 11, a.g = 22, a.b = 33;
  return a;
}

struct Mapping {
  const char* name;
  RowArgs args;
  int32_t effect;
  std::vector<int32_t> values;  // from value index 3 on
};

// Host i2 = 1 is the library's blend 0 (replace), so the layer shows the drawing alone.
const Mapping kMappings[] = {
    {"Lines", args({83, 47, 310, 260, 130, 570}, 9, 1, {1, 0}), 1,
     {9, 41, 47, 93, 3, 11, 22, 33, 0, 0, 0, 0, 1, 0, 57, 31}},
    {"Fibers", args({83, 47, 310, 260, 130, 570}, 9, 1), 59, {9, 12, 47, 7, 3, 11, 22, 33, 57, 26, 0, 0, 0, 0}},
    {"Generate Noise", args({830, 470, 31, 0, 0, 0}, 9, 1), 21, {9, 83, 120, 3, 11, 22, 33, 0, 0, 0, 0, 0}},
    {"Sine Plasma", args({310, 470, 130, 570, 0, 0}, 0, 1), 24, {10, 15, 32, 142, 11, 22, 33, 0, 0, 0, 0}},
    {"Pattern", args({83, 47, 310, 260, 130, 0}, 0, 1, {1}), 42, {8, 4, 6, 0, 0, 0, 0, 0, 13, 31, 1}},
};

TEST_F(Generators, EachSliderReachesItsValueIndex) {
  for (const Mapping& m : kMappings) {
    paint_varied();
    const std::vector<uint8_t> want = test::library(m.effect, m.values, layer_bytes());
    ASSERT_NE(want, layer_bytes()) << m.name;
    EXPECT_NE(run(m.name, m.args), 0) << m.name;
    EXPECT_EQ(layer_bytes(), want) << m.name;
  }
}

TEST_F(Generators, TheSameSeedDrawsTheSamePictureAndAnotherSeedAnother) {
  const char* seeded[] = {"Lines",  "Points", "Circles", "Rectangles", "Splines", "Worms", "Fibers",
                          "Trees",  "Generate Noise", "Blobs", "Plasma", "Fractal Plasma",
                          "Generate Perlin Noise"};
  for (const char* name : seeded) {
    RowArgs a = args({300, 15, 30, 300, 300, 300}, 7, 0, {0, 1});
    if (std::string(name) == "Blobs") a.S[0] = 20;  // few enough not to flow into one flat pool
    paint_varied();
    const std::vector<uint8_t> before = layer_bytes();
    run(name, a);
    const std::vector<uint8_t> first = layer_bytes();
    EXPECT_NE(first, before) << name;
    paint_varied();
    run(name, a);
    EXPECT_EQ(layer_bytes(), first) << name;
    paint_varied();
    a.i1 = 8;
    run(name, a);
    EXPECT_NE(layer_bytes(), first) << name;
  }
}

// Host 0 is the library's last mode (12, laid over normally), 1..12 are its 0..11,
// anything else goes through as it is.
TEST_F(Generators, TheHostsBlendNumberIsRemappedBeforeTheLibrarySeesIt) {
  const struct {
    int32_t host, library;
  } cases[] = {{0, 12}, {1, 0}, {4, 3}, {8, 7}, {12, 11}, {13, 13}, {-1, -1}};
  // Horizontal stripes, 6 px apart and 2 wide, on a mid-grey ground.
  std::vector<int32_t> values = {8, 6, 2, 1, 0, 0, 0, 0, 40, 0, 0};
  for (const auto& c : cases) {
    paint_varied();
    const std::vector<uint8_t> before = layer_bytes();
    values[10 - 3] = c.library;
    const std::vector<uint8_t> want = test::library(42, values, before);
    RowArgs a = args({80, 60, 0, 80, 400, 0}, 0, c.host);
    a.option = 1;
    run("Pattern", a);
    EXPECT_EQ(layer_bytes(), want) << "host i2 " << c.host;
    // The library's replace and normal modes agree for opaque drawings, so only the
    // other numbers can show that the remap was made.
    if (c.host != c.library && c.host != 0) {
      values[10 - 3] = c.host;
      EXPECT_NE(test::library(42, values, before), want) << "host i2 " << c.host << " should matter";
    }
  }
}

TEST_F(Generators, TheHostsColourIsDrawnInItsOwnChannels) {
  RowArgs a = args({1000, 0, 10, 0, 0, 0}, 3, 1);  // every grain, no shading, replace
  a.r = 200, a.g = 30, a.b = 10;
  run("Generate Noise", a);
  const std::vector<uint8_t> after = layer_bytes();
  for (size_t i = 0; i < after.size(); i += 4) {
    ASSERT_EQ(after[i], 200) << i / 4;
    ASSERT_EQ(after[i + 1], 30) << i / 4;
    ASSERT_EQ(after[i + 2], 10) << i / 4;
    ASSERT_EQ(after[i + 3], 255) << i / 4;
  }
}

}  // namespace
}  // namespace cvl
