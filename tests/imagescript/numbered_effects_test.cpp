#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "imagescript/imagescript.h"
#include "support/effect_values.h"

namespace cvl::imagescript {
namespace {

using Pixels = std::vector<uint8_t>;

using test_support::values;

// Smooth gradients with a few hard shapes: every effect has something to move.
Pixels varied(int w, int h) {
  Pixels px(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &px[(size_t(y) * w + x) * 4];
      const bool square = (x / 7 + y / 5) % 3 == 0;
      p[0] = uint8_t(x * 255 / std::max(w - 1, 1));
      p[1] = uint8_t(y * 255 / std::max(h - 1, 1));
      p[2] = square ? 230 : 30;
      p[3] = uint8_t(x < w / 5 ? 0 : square ? 255 : 180);
    }
  return px;
}

bool run(int effect, const std::vector<int32_t>& v, Pixels& px, int w, int h) {
  return run_effect(effect, v.data(), int32_t(v.size()), px.data(), w, h);
}

struct Case {
  std::string name;
  int effect;
  std::map<int, int32_t> mid;  // the values the table gives at middle slider settings
};

// Colour 200, 60, 90; i1 (seed) 7; blend value 12 (normal).
const std::vector<Case>& cases() {
  static const std::vector<Case> kCases = {
      {"twirl", 6, {{3, 90}, {4, 50}, {5, 50}, {7, 0}}},
      {"sine", 13, {{3, 6}, {4, 4}, {5, 3}, {6, 2}, {7, 10}, {8, 5}, {9, 0}}},
      {"kaleidoscope", 49, {{3, 32}, {4, 20}, {5, 4}, {6, 0}}},
      {"scratch", 56, {{3, 7}, {4, 50}, {5, 40}, {6, 180}, {7, 1}, {9, 1}}},
      {"waves", 16, {{3, 20}, {4, 50}, {5, 0}, {6, 30}}},
      {"divider", 17, {{3, 3}, {4, 2}}},
      {"carpet", 18, {{3, 10}, {4, 9}}},
      {"glass", 39, {{3, 7}, {4, 60}, {5, 4}}},
      {"voxel", 22, {{3, 6}}},
      {"zoom", 50, {{3, 150}, {4, 100}, {5, -200}, {7, 0}}},
      {"rotate", 51, {{3, 30}, {4, 100}}},
      {"tilt", 54, {{3, 500}, {4, -300}}},
      {"seamless", 52, {{3, 8}}},
      {"edge", 19, {{3, 128}, {4, 10}, {5, 20}}},
      {"bump", 27, {{3, 128}, {4, 26}, {5, 0}}},
      {"emboss", 23, {{3, 128}, {4, 180}, {5, 45}, {7, 30}}},
      {"maximum", 25, {{3, 3}}},
      {"minimum", 26, {{3, 3}}},
      {"colorize", 28, {{3, 40}, {4, 200}, {5, 127}}},
      {"lines", 1, {{3, 7}, {4, 20}, {5, 30}, {6, 45}, {7, 3}, {8, 200}, {9, 60}, {10, 90}, {14, 12}, {16, 1}, {17, 20}, {18, 50}}},
      {"points", 43, {{3, 7}, {4, 60}, {5, 2}, {6, 200}, {7, 60}, {8, 90}, {12, 12}, {13, 1}, {14, 10}}},
      {"circles", 2, {{3, 7}, {4, 12}, {5, 8}, {7, 2}, {8, 200}, {9, 60}, {10, 90}, {14, 12}, {16, 0}, {17, 10}, {18, 50}}},
      {"rectangles", 3, {{3, 7}, {4, 12}, {5, 10}, {6, 6}, {7, 2}, {8, 200}, {9, 60}, {10, 90}, {14, 12}, {16, 1}, {18, 40}}},
      {"splines", 4, {{3, 7}, {4, 5}, {5, 5}, {7, 12}, {8, 2}, {9, 200}, {10, 60}, {11, 90}, {15, 12}, {17, 20}}},
      {"worms", 37, {{3, 7}, {4, 8}, {5, 40}, {6, 200}, {7, 2}, {8, 200}, {9, 60}, {10, 90}, {14, 12}, {16, 20}}},
      {"fibers", 59, {{3, 7}, {4, 54}, {5, 30}, {6, 12}, {7, 1}, {8, 200}, {9, 60}, {10, 90}, {11, 20}, {12, 30}, {16, 12}}},
      {"trees", 58, {{3, 7}, {4, 3}, {5, 12}, {6, 5}, {8, 2}, {9, 200}, {10, 60}, {11, 90}, {15, 12}, {19, 50}}},
      {"noise", 21, {{3, 7}, {4, 60}, {5, 200}, {6, 2}, {7, 200}, {8, 60}, {9, 90}, {13, 12}, {14, 0}}},
      {"blobs", 20, {{3, 7}, {4, 6}, {5, 12}, {7, 200}, {8, 60}, {9, 90}, {13, 12}, {14, 1}}},
      {"plasma", 5, {{3, 7}, {4, 250}, {5, 200}, {6, 60}, {7, 90}, {11, 12}, {12, 1}}},
      {"sine plasma", 24, {{3, 3}, {4, 2}, {5, 60}, {6, 120}, {7, 200}, {8, 60}, {9, 90}, {13, 12}}},
      {"fractal plasma", 55, {{3, 7}, {4, 200}, {5, 60}, {6, 90}, {10, 12}, {11, 0}}},
      {"perlin", 11, {{3, 7}, {4, 30}, {5, 51}, {6, 200}, {7, 60}, {8, 90}, {12, 12}, {13, 0}}},
      {"pattern", 42, {{3, 10}, {4, 8}, {5, 2}, {6, 5}, {10, 12}, {11, 30}, {12, 0}, {13, 0}}},
  };
  return kCases;
}

TEST(NumberedEffects, EachChangesAVariedPictureAtMiddleSettings) {
  const int w = 64, h = 40;
  const Pixels original = varied(w, h);
  for (const Case& c : cases()) {
    Pixels px = original;
    ASSERT_TRUE(run(c.effect, values(c.mid), px, w, h)) << c.name;
    EXPECT_NE(px, original) << c.name;
  }
}

TEST(NumberedEffects, SmallAndOddSizesStayInsideThePicture) {
  // Under the sanitizers any read or write past the pixels fails here; extreme values
  // push the distortions' source points far outside.
  const std::vector<std::pair<int, int>> sizes = {{1, 1}, {1, 7}, {5, 1}, {3, 2}, {13, 9}};
  for (const Case& c : cases())
    for (const auto& [w, h] : sizes)
      for (int32_t extreme : {0, -1, 1000, 100000}) {
        std::map<int, int32_t> v = c.mid;
        for (auto& [index, value] : v)
          if (index == 4 || index == 5) value = extreme;
        Pixels px = varied(w, h);
        run(c.effect, values(v), px, w, h);
        ASSERT_EQ(px.size(), size_t(w) * h * 4) << c.name;
      }
}

TEST(NumberedEffects, DistortionsAtNeutralValuesLeaveThePicture) {
  const struct {
    const char* name;
    int effect;
    std::map<int, int32_t> neutral;
  } kNeutral[] = {
      {"twirl by 0", 6, {{3, 0}, {4, 50}, {5, 50}}},
      {"sine without swing", 13, {{3, 0}, {4, 0}, {5, 3}, {6, 3}}},
      {"kaleidoscope of no segments", 49, {{3, 10}, {4, 10}, {5, 0}}},
      {"no scratches", 56, {{3, 7}, {4, 0}, {5, 40}}},
      {"flat waves", 16, {{3, 20}, {4, 0}, {6, 30}}},
      {"divider 1 x 1", 17, {{3, 1}, {4, 1}}},
      {"carpet without strips", 18, {{3, 0}, {4, 0}}},
      {"glass without bend", 39, {{3, 7}, {4, 60}, {5, 0}}},
      {"voxel of single pixels", 22, {{3, 1}}},
      {"zoom 100%", 50, {{3, 100}, {4, 0}, {5, 0}}},
      {"rotate by 0", 51, {{3, 0}, {4, 100}}},
      {"tilt 0", 54, {{3, 0}, {4, 0}}},
      {"seamless without a band", 52, {{3, 0}}},
      {"maximum of 1", 25, {{3, 1}}},
      {"minimum of 1", 26, {{3, 1}}},
  };
  const int w = 31, h = 17;
  const Pixels original = varied(w, h);
  for (const auto& c : kNeutral) {
    Pixels px = original;
    ASSERT_TRUE(run(c.effect, values(c.neutral), px, w, h)) << c.name;
    EXPECT_EQ(px, original) << c.name;
  }
}

TEST(NumberedEffects, GeneratorsRepeatForTheirSeedAndDifferForAnother) {
  const int w = 48, h = 36;
  const Pixels original = varied(w, h);
  for (const Case& c : cases()) {
    if (c.effect == 24 || c.effect == 42 || !c.mid.count(3) || c.mid.at(3) != 7) continue;  // unseeded
    if (c.effect == 56 || c.effect == 39) continue;  // seeded distortions: checked below with the rest
    Pixels first = original, again = original, other = original;
    auto v = c.mid;
    run(c.effect, values(v), first, w, h);
    run(c.effect, values(v), again, w, h);
    v[3] = 8;
    run(c.effect, values(v), other, w, h);
    EXPECT_EQ(first, again) << c.name;
    EXPECT_NE(first, other) << c.name;
  }
}

// A distortion run on a picture whose red channel is a copy of its alpha must leave
// red equal to alpha: the dispatcher distorts alpha in a separate pass through the
// first channel, and the two passes must move every pixel alike.
TEST(NumberedEffects, DistortionsMoveAPlaneInAnyChannelExactlyAsTheOthers) {
  const int w = 45, h = 33;
  Pixels shape(size_t(w) * h * 4, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &shape[(size_t(y) * w + x) * 4];
      const bool inside = std::hypot(x - 15.0, y - 12.0) < 9 || (x > 28 && x < 40 && y > 5 && y < 28);
      p[3] = p[0] = inside ? 255 : 0;
      p[1] = uint8_t(x * 5), p[2] = uint8_t(y * 7);
    }
  for (const Case& c : cases()) {
    if (c.effect >= 19 && c.effect <= 28 && c.effect != 22) continue;  // relief and colour effects keep alpha
    // Rotation weights its taps by alpha so that edges keep their colour; the
    // dispatcher's separate alpha pass is what keeps its outline exact.
    if (c.effect == 51) continue;
    if (c.effect <= 5 || c.effect == 11 || c.effect == 37 || c.effect == 42 || c.effect == 43 || c.effect >= 58 ||
        c.effect == 55 || c.effect == 20 || c.effect == 21)
      continue;  // generators
    Pixels px = shape;
    ASSERT_TRUE(run(c.effect, values(c.mid), px, w, h)) << c.name;
    for (size_t i = 0; i < px.size(); i += 4) ASSERT_EQ(px[i], px[i + 3]) << c.name << " at pixel " << i / 4;
  }
}

const uint8_t* at(const Pixels& px, int w, int x, int y) { return &px[(size_t(y) * w + x) * 4]; }

TEST(NumberedEffects, ShapesLandWhereTheirNamesSay) {
  const int w = 21, h = 15;
  // Maximum with reach 2 grows one bright pixel into a 5 x 5 square; minimum shrinks it away.
  Pixels dot(size_t(w) * h * 4, 0);
  for (int k = 0; k < 4; ++k) dot[(size_t(7) * w + 10) * 4 + k] = 200;
  Pixels grown = dot;
  ASSERT_TRUE(run(25, values({{3, 3}}), grown, w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(at(grown, w, x, y)[0], std::abs(x - 10) <= 2 && std::abs(y - 7) <= 2 ? 200 : 0) << x << "," << y;
  Pixels shrunk = dot;
  ASSERT_TRUE(run(26, values({{3, 2}}), shrunk, w, h));
  EXPECT_EQ(shrunk, Pixels(dot.size(), 0));

  // Carpet folds the top-left strip back and forth: columns 0..3 then 3..0 again.
  const Pixels original = varied(w, h);
  Pixels carpet = original;
  ASSERT_TRUE(run(18, values({{3, 4}, {4, 0}}), carpet, w, h));
  for (int x = 0; x < w; ++x) {
    const int p = x % 8, from = p < 4 ? p : 7 - p;
    ASSERT_EQ(std::memcmp(at(carpet, w, x, 3), at(original, w, from, 3), 4), 0) << x;
  }

  // Seamless: the two ends of every row show neighbouring pixels of the middle.
  Pixels seamless = original;
  ASSERT_TRUE(run(52, values({{3, 5}}), seamless, w, h));
  for (int y = 0; y < h; ++y) EXPECT_LE(std::abs(at(seamless, w, 0, y)[0] - at(seamless, w, w - 1, y)[0]), 15) << y;

  // Colorize with full saturation at hue 0 makes every grey a red.
  Pixels grey(size_t(w) * h * 4, 128);
  ASSERT_TRUE(run(28, values({{3, 0}, {4, 255}, {5, 127}}), grey, w, h));
  EXPECT_GT(at(grey, w, 3, 3)[0], 200);
  EXPECT_LT(at(grey, w, 3, 3)[1], 60);
  EXPECT_EQ(at(grey, w, 3, 3)[3], 128);
}

TEST(NumberedEffects, GeneratorsDrawTheirColourAndBlend) {
  const int w = 40, h = 30;
  // Noise at full density and no strength is a flat fill of the colour.
  Pixels flat(size_t(w) * h * 4, 0);
  ASSERT_TRUE(run(21, values({{3, 1}, {4, 100}, {5, 0}, {6, 1}, {7, 10}, {8, 20}, {9, 30}}), flat, w, h));
  for (size_t i = 0; i < flat.size(); i += 4)
    ASSERT_TRUE(flat[i] == 10 && flat[i + 1] == 20 && flat[i + 2] == 30 && flat[i + 3] == 255);
  // The same lines under blend 3 (multiply) over white equal the colour, over black stay black.
  const auto lines = values({{3, 4}, {4, 30}, {5, 20}, {7, 4}, {8, 100}, {9, 150}, {10, 200}, {14, 3}});
  Pixels white(size_t(w) * h * 4, 255), black(size_t(w) * h * 4, 0);
  for (size_t i = 3; i < black.size(); i += 4) black[i] = 255;
  ASSERT_TRUE(run(1, lines, white, w, h));
  ASSERT_TRUE(run(1, lines, black, w, h));
  EXPECT_EQ(black, Pixels([&] { Pixels b(size_t(w) * h * 4, 0); for (size_t i = 3; i < b.size(); i += 4) b[i] = 255; return b; }()));
  bool saw_colour = false;
  for (size_t i = 0; i < white.size(); i += 4) saw_colour |= white[i] == 100 && white[i + 1] == 150 && white[i + 2] == 200;
  EXPECT_TRUE(saw_colour);
  // A zero count draws nothing.
  Pixels untouched = varied(w, h);
  ASSERT_TRUE(run(2, values({{3, 1}, {4, 0}, {5, 9}}), untouched, w, h));
  EXPECT_EQ(untouched, varied(w, h));
}

}  // namespace
}  // namespace cvl::imagescript

namespace cvl::imagescript {
namespace {

imaging::Image render_example(const char* name) {
  imaging::Image im;
  const std::string path = std::string(CORVEL_EXAMPLES_DIR) + "/scripts/" + name;
  EXPECT_EQ(render_script(path.c_str(), im), ScriptResult::Ok) << name;
  return im;
}

TEST(ExampleScripts, RenderWhatTheyDescribe) {
  const imaging::Image bricks = render_example("bricks.isc");
  ASSERT_EQ(bricks.width, 64);
  ASSERT_EQ(bricks.height, 32);
  const uint8_t* mortar = &bricks.pixels[(size_t(0) * 64 + 5) * 4];
  const uint8_t* brick = &bricks.pixels[(size_t(8) * 64 + 10) * 4];
  EXPECT_EQ(mortar[0], 255);
  EXPECT_EQ(mortar[2], 255);
  EXPECT_GT(brick[0], brick[2] + 50);  // red, not mortar
  EXPECT_EQ(brick[3], 255);

  for (const char* name : {"noise_texture.isc", "gradient_tile.isc"}) {
    const imaging::Image im = render_example(name);
    ASSERT_FALSE(im.empty()) << name;
    int lo = 255, hi = 0;
    for (size_t i = 0; i < im.pixels.size(); i += 4) lo = std::min<int>(lo, im.pixels[i]), hi = std::max<int>(hi, im.pixels[i]);
    EXPECT_GT(hi - lo, 40) << name;
    EXPECT_EQ(im.pixels[3], 255) << name;
  }
  // The gradient tile is made to repeat: its opposite edges nearly meet.
  const imaging::Image tile = render_example("gradient_tile.isc");
  for (int y = 0; y < tile.height; y += 7)
    EXPECT_LE(std::abs(tile.pixels[size_t(y) * tile.width * 4] - tile.pixels[(size_t(y) * tile.width + tile.width - 1) * 4]), 12) << y;
}

}  // namespace
}  // namespace cvl::imagescript
