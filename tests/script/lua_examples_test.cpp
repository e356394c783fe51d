// The example filters shipped in examples/lua, run over small known images.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "script/lua_fixture.h"

namespace cvl::test {
namespace {

class LuaExamples : public LuaFilterFixture {
 protected:
  void run_example(const char* name, LuaFilterParams params = {}, bool expect_clean = true) {
    const std::string path = std::string(CORVEL_EXAMPLES_DIR) + "/lua/" + name;
    params.script_path = path.c_str();
    CVL_LuaFilterRun(path.c_str(), params.sliders[0], params.sliders[1], params.sliders[2], params.sliders[3],
                     params.sliders[4], params.sliders[5], params.styles[0], params.styles[1], params.flags[0],
                     params.flags[1], params.flags[2], params.flags[3], params.flags[4], params.flags[5]);
    if (expect_clean) {
      EXPECT_TRUE(boxes.empty()) << name << ": " << (boxes.empty() ? "" : boxes[0]);
    }
  }

  // Paints the layer with a function of (x, y) giving 8-bit R, G, B; alpha opaque.
  template <class F>
  void paint(F colour) {
    Layer& layer = e().slot(kSlot);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const std::array<int, 3> c = colour(x, y);
        uint16_t* p = pixel_at(layer, x, y);
        for (int i = 0; i < 3; ++i) p[i] = static_cast<uint16_t>(c[static_cast<size_t>(i)] << 8);
        p[3] = 65280;
      }
    CVL_IPLUpdateSrcBuffer32();
  }

  int byte_at(int x, int y, int c) { return layer_pixel(x, y)[c] >> 8; }
};

TEST_F(LuaExamples, InvertTurnsEveryColourAroundAndKeepsAlpha) {
  paint([](int x, int y) { return std::array<int, 3>{x * 30, y * 50, 255 - x * 7}; });
  run_example("invert.lua");
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      // 1 - v is one step short for a few bytes, the price of the fixed 1/255.
      EXPECT_NEAR(byte_at(x, y, 0), 255 - x * 30, 1);
      EXPECT_NEAR(byte_at(x, y, 1), 255 - y * 50, 1);
      EXPECT_NEAR(byte_at(x, y, 2), x * 7, 1);
      EXPECT_EQ(byte_at(x, y, 3), 255);
    }
  escape = 1;
  const Pixel before = layer_pixel(1, 1);
  boxes.clear();
  run_example("invert.lua", {}, false);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("cancelled"), std::string::npos);
  EXPECT_EQ(layer_pixel(1, 1), before);
  boxes.clear();
}

TEST_F(LuaExamples, ColourGradeKeepsColoursAtRestAndTurnsHues) {
  paint([](int x, int y) { return std::array<int, 3>{x * 30, 40 + y * 30, 200}; });
  Pixel original[kH][kW];
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) original[y][x] = layer_pixel(x, y);
  run_example("colour_grade.lua");
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(byte_at(x, y, c), original[y][x][c] >> 8, 2) << x << "," << y;

  paint([](int, int) { return std::array<int, 3>{255, 0, 0}; });
  LuaFilterParams third;
  third.sliders[2] = 333;  // a third of the wheel: red becomes green
  run_example("colour_grade.lua", third);
  EXPECT_LT(byte_at(3, 3, 0), 10);
  EXPECT_GT(byte_at(3, 3, 1), 245);
}

TEST_F(LuaExamples, EdgesLightUpWhereTheImageSteps) {
  paint([](int x, int) { return x < 4 ? std::array<int, 3>{0, 0, 0} : std::array<int, 3>{255, 255, 255}; });
  run_example("edges.lua");
  for (int y = 0; y < kH; ++y) {
    EXPECT_EQ(byte_at(0, y, 0), 0);
    EXPECT_EQ(byte_at(7, y, 0), 0);
    EXPECT_GT(byte_at(3, y, 0), 200);
    EXPECT_GT(byte_at(4, y, 0), 200);
    EXPECT_EQ(byte_at(3, y, 0), byte_at(3, y, 2));  // grey
  }
  // Single-buffer mode leaves the result in both working images.
  EXPECT_EQ(std::memcmp(e().ipl.src32.get(), e().ipl.dst32.get(), kW * kH * 4), 0);

  LuaFilterParams inverted;
  inverted.flags[0] = 1;
  paint([](int, int) { return std::array<int, 3>{90, 90, 90}; });
  run_example("edges.lua", inverted);
  EXPECT_EQ(byte_at(2, 2, 0), 255);
}

}  // namespace
}  // namespace cvl::test
