// The transform and polygon-warp rows, run through the dispatcher on a layer
// whose pixels say where they came from.
#include <gtest/gtest.h>

#include <vector>

#include "ipl/layer_patterns.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

struct Args {
  int32_t S[6] = {500, 500, 500, 500, 500, 500};
  int32_t option = 0;
  int32_t f[6] = {};
  int32_t r = 0, g = 0, b = 0;
};

int32_t run(const char* name, const Args& a) {
  return CVL_IPLImageProcess(0, name, 0, a.S[0], a.S[1], a.S[2], a.S[3], a.S[4], a.S[5], a.option, 0, a.f[0],
                             a.f[1], a.f[2], a.f[3], a.f[4], a.f[5], a.r, a.g, a.b, "");
}

class TransformRows : public test::CoordinateLayerTest {
 protected:
  std::vector<uint16_t> layer_words() { return test::layer_words(e().slot(2)); }
  test::Origin origin(int x, int y) { return test::origin_of(e().slot(2), x, y); }
  uint16_t alpha(int x, int y) { return test::pixel_at(e().slot(2), x, y)[3]; }
};

Args with(std::initializer_list<std::pair<int, int32_t>> sliders, int32_t option = 0) {
  Args a;
  for (auto [k, v] : sliders) a.S[k] = v;
  a.option = option;
  return a;
}

TEST_F(TransformRows, NeutralSettingsLeaveTheLayerUnchanged) {
  const struct {
    const char* name;
    Args args;
  } cases[] = {
      {"Elliptical", with({{0, 0}})},
      {"Lens", with({{0, 0}})},
      {"Marble", with({{1, 0}})},
      {"Offset", with({})},
      {"Offset", with({}, 1)},
      {"Pinch", with({})},
      {"Ripple", with({{0, 0}})},
      {"Spin", with({})},
      {"Spin Wave", with({})},
      {"Wave", with({{0, 0}}, 2)},
      {"Wow", with({{0, 0}})},
      {"Zig Zag", with({{0, 0}}, 2)},
      {"Frosted Glass", with({{0, 0}})},
      {"Perspective", with({})},
      {"Warp", with({})},
      {"Warp Edge", with({}, 1)},
      {"Warp 3 Point", with({})},
      {"Stretch", with({})},
      {"Stretch Edge", with({})},
      {"Vertical Pivot", with({})},
      {"Horizontal Pivot", with({})},
      {"Skew", with({})},
  };
  start(30, 20);
  const std::vector<uint16_t> before = layer_words();
  for (const auto& c : cases) {
    run(c.name, c.args);
    EXPECT_EQ(layer_words(), before) << c.name;
  }
}

TEST_F(TransformRows, OffsetShiftsByTheSlidersAndUncoversTransparency) {
  start(30, 20);
  Args a = with({{0, 750}, {1, 400}});  // right by 15, up by 4
  a.r = 200;
  run("Offset", a);
  EXPECT_EQ(origin(20, 5), (test::Origin{5, 9}));
  EXPECT_EQ(alpha(3, 3), 0);    // uncovered on the left
  EXPECT_EQ(alpha(20, 17), 0);  // and at the bottom
  EXPECT_EQ(alpha(20, 15), 0xFF00);

  start(30, 20);
  run("Offset", with({{0, 750}, {1, 500}}, 1));  // wrapped
  EXPECT_EQ(origin(3, 7), (test::Origin{18, 7}));
  EXPECT_EQ(alpha(3, 7), 0xFF00);
}

TEST_F(TransformRows, FrostedGlassRepeatsForTheSameRandomSeed) {
  start(30, 20);
  const std::vector<uint16_t> before = layer_words();
  const Args a = with({{0, 100}});  // spread 5
  CVL_SetRandomSeed(11);
  run("Frosted Glass", a);
  const std::vector<uint16_t> first = layer_words();
  EXPECT_NE(first, before);

  start(30, 20);
  CVL_SetRandomSeed(11);
  run("Frosted Glass", a);
  EXPECT_EQ(layer_words(), first);
}

TEST_F(TransformRows, WarpsCarryTheContentBoxOntoTheMovedCorners) {
  start(30, 20);
  // Content only in x 5..25, y 2..17; the rest transparent.
  Layer& l = e().slot(2);
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x)
      if (x < 5 || x > 25 || y < 2 || y > 17) test::pixel_at(l, x, y)[3] = 0;
  // Narrower by a quarter of the box width (20) on each side: the left and
  // right edges move in by 5 pixels.
  run("Stretch", with({{0, 250}}));
  EXPECT_EQ(origin(10, 2), (test::Origin{5, 2}));
  EXPECT_EQ(origin(20, 17), (test::Origin{25, 17}));
  EXPECT_EQ(alpha(8, 10), 0);
  EXPECT_EQ(alpha(22, 10), 0);
  EXPECT_EQ(origin(15, 10), (test::Origin{15, 10}));
}

TEST_F(TransformRows, WarpOfAnEmptyLayerChangesNothing) {
  start(12, 10);
  test::give_slot_pixels(2, 0x1000, 0x2000, 0x3000, 0);
  const std::vector<uint16_t> before = layer_words();
  EXPECT_EQ(run("Skew", with({{0, 800}})), 0);
  EXPECT_EQ(layer_words(), before);
}

}  // namespace
}  // namespace cvl
