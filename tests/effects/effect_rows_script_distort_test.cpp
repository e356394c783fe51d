#include <gtest/gtest.h>

#include <cstdlib>

#include "effects/script_rows_fixture.h"
#include "layers/filter_prep.h"

namespace cvl {
namespace {

using test::RowArgs;
using ScriptRows = test::ScriptRowsTest;

enum class Kind { I, IP, S, SL };

struct Mapping {
  const char* name;
  RowArgs args;
  int32_t effect;
  Kind kind;
  std::vector<int32_t> values;  // from value index 3 on
};

RowArgs sliders(std::array<int32_t, 6> s, std::array<int32_t, 6> f = {}, int32_t i1 = 0, int32_t option = 0) {
  RowArgs a;
  a.S = s, a.f = f, a.i1 = i1, a.option = option;
  return a;
}

// Slider values are picked so that every mapped value differs from its neighbours
// and none falls on a whole number that float rounding could tip either way.
const Mapping kMappings[] = {
    {"Twirl", sliders({600, 300, 700, 0, 0, 0}, {1}), 6, Kind::S, {72, 30, 70, 0, 1}},
    {"Sine Distortion", sliders({300, 470, 610, 350, 730, 640}), 13, Kind::S, {7, 9, 20, 11, 16, 11, 0}},
    {"Kaleidoscope", sliders({300, 470, 610, 0, 0, 0}, {}, 0, 1), 49, Kind::S, {7, 9, 20, 1}},
    {"Scratch", sliders({123, 66, 260, 0, 0, 0}, {1, 1}, 77), 56, Kind::SL, {77, 12, 26, 93, 1, 0, 1}},
    {"Waves", sliders({123, 86, 260, 0, 0, 0}, {1}), 16, Kind::S, {123, 43, 1, 93}},
    {"Divider", sliders({30, 20, 0, 0, 0, 0}), 17, Kind::SL, {3, 2}},
    {"Carpet", sliders({25, 37, 0, 0, 0, 0}), 18, Kind::SL, {12, 18}},
    {"Glass", sliders({123, 200, 0, 0, 0, 0}, {}, 5), 39, Kind::SL, {5, 123, 5}},
    {"Voxel", sliders({27, 0, 0, 0, 0, 0}), 22, Kind::SL, {6}},
    {"Zoom", sliders({123, 600, 350, 0, 0, 0}, {1}), 50, Kind::S, {124, 200, -300, 0, 1}},
    {"Rotate", sliders({625, 83, 0, 0, 0, 0}), 51, Kind::S, {90, 83}},
    {"Tilt", sliders({600, 350, 0, 0, 0, 0}), 54, Kind::S, {200, -300}},
    {"Seamless", sliders({27, 0, 0, 0, 0, 0}), 52, Kind::SL, {8}},
    {"Colorize", sliders({300, 600, 800, 0, 0, 0}), 28, Kind::I, {76, 153, 204}},
    {"Edge", sliders({300, 120, 400, 0, 0, 0}), 19, Kind::I, {76, 12, 40}},
    {"Bump", sliders({300, 450, 700, 0, 0, 0}), 27, Kind::I, {77, 23, 10}},
    {"Emboss2", sliders({300, 260, 310, 400, 0, 0}), 23, Kind::I, {77, 93, 55, 0, 40}},
    {"Maximum", sliders({300, 0, 0, 0, 0, 0}), 25, Kind::I, {8}},
    {"Minimum", sliders({130, 0, 0, 0, 0, 0}), 26, Kind::IP, {4}},
};

// What the row should leave on an opaque layer: the library effect with exactly
// the listed values; the distortions take their alpha from a pass of the same
// effect over the alpha plane.
std::vector<uint8_t> expected(const Mapping& m, const std::vector<uint8_t>& layer) {
  std::vector<uint8_t> colour = test::library(m.effect, m.values, layer);
  if (m.kind == Kind::I || m.kind == Kind::IP) return colour;
  std::vector<uint8_t> plane = layer;
  for (size_t i = 0; i < plane.size(); i += 4) plane[i] = plane[i + 3];
  plane = test::library(m.effect, m.values, plane);
  for (size_t i = 0; i < plane.size(); i += 4) colour[i + 3] = plane[i];
  if (m.kind == Kind::S) adjust_rgba32_post_filter(colour.data(), test::kW, test::kH);
  return colour;
}

TEST_F(ScriptRows, EachSliderReachesItsValueIndex) {
  for (const Mapping& m : kMappings) {
    paint_varied();
    const std::vector<uint8_t> before = layer_bytes();
    const std::vector<uint8_t> want = expected(m, before);
    ASSERT_NE(want, before) << m.name << ": the chosen values should change the picture";
    EXPECT_NE(run(m.name, m.args), 0) << m.name;
    EXPECT_EQ(layer_bytes(), want) << m.name;
  }
}

// On a layer whose alpha runs from clear to opaque, each distortion leaves what a
// separate pass of the same effect over the alpha plane would give it (the rows
// skip that pass where the effect moves every channel alike, and must not show it).
TEST_F(ScriptRows, DistortionsMoveVariedAlphaAsAnAlphaPassWould) {
  for (const Mapping& m : kMappings) {
    if (m.kind != Kind::S && m.kind != Kind::SL) continue;
    Layer& layer = e().slot(2);
    for (int y = 0; y < layer.height; ++y)
      for (int x = 0; x < layer.width; ++x) {
        uint16_t* p = test::pixel_at(layer, x, y);
        p[0] = uint16_t((x * 10 & 0xFF) << 8), p[1] = uint16_t((y * 12 & 0xFF) << 8);
        p[2] = uint16_t((x * y * 7 & 0xFF) << 8), p[3] = uint16_t(((x * 37 + y * 91) % 7 * 51 % 256) << 8);
      }
    const std::vector<uint8_t> before = layer_bytes();
    std::vector<uint8_t> plane = before, colour = before;
    for (size_t i = 0; i < plane.size(); i += 4) plane[i] = plane[i + 3];
    plane = test::library(m.effect, m.values, plane);
    if (m.kind == Kind::S) adjust_rgba32_pre_filter(colour.data(), test::kW, test::kH);
    colour = test::library(m.effect, m.values, colour);
    for (size_t i = 0; i < colour.size(); i += 4) colour[i + 3] = plane[i];
    if (m.kind == Kind::S) adjust_rgba32_post_filter(colour.data(), test::kW, test::kH);
    EXPECT_NE(run(m.name, m.args), 0) << m.name;
    EXPECT_EQ(layer_bytes(), colour) << m.name;
  }
}

// A solid shape on a clear layer whose hidden colour is blue: after a distortion,
// wherever the layer is fully covered its colour is the shape's, so alpha went
// exactly where colour went.
TEST_F(ScriptRows, DistortionsCarryTheOutlineWithTheColour) {
  const RowArgs at_middle;
  const std::pair<const char*, RowArgs> rows[] = {
      {"Twirl", sliders({800, 600, 500, 0, 0, 0})}, {"Sine Distortion", at_middle},
      {"Kaleidoscope", at_middle}, {"Waves", at_middle}, {"Zoom", sliders({70, 500, 500, 0, 0, 0})},
      {"Rotate", sliders({560, 100, 0, 0, 0, 0})}, {"Tilt", sliders({800, 300, 0, 0, 0, 0})},
      {"Scratch", sliders({500, 100, 100, 0, 0, 0}, {}, 3)}, {"Divider", sliders({20, 20, 0, 0, 0, 0})}, {"Carpet", sliders({20, 15, 0, 0, 0, 0})},
      {"Glass", sliders({80, 400, 0, 0, 0, 0}, {}, 9)}, {"Voxel", sliders({10, 0, 0, 0, 0, 0})}, {"Seamless", sliders({20, 0, 0, 0, 0, 0})},
  };
  for (const auto& [name, args] : rows) {
    test::give_slot_pixels(2, 0, 0, 0xFF00, 0);  // clear, with a colour that must not show
    Layer& layer = e().slot(2);
    for (int y = 4; y < 15; ++y)
      for (int x = 3; x < 15; ++x) {
        uint16_t* p = test::pixel_at(layer, x, y);
        p[0] = 200 << 8, p[1] = 120 << 8, p[2] = 40 << 8, p[3] = 0xFF00;
      }
    const std::vector<uint8_t> before = layer_bytes();
    run(name, args);
    const std::vector<uint8_t> after = layer_bytes();
    EXPECT_NE(after, before) << name;
    int covered = 0;
    for (size_t i = 0; i < after.size(); i += 4) {
      const int a = after[i + 3];
      if (a < 255) continue;
      ++covered;
      ASSERT_LE(std::abs(after[i] - 200), 6) << name << " pixel " << i / 4;
      ASSERT_LE(std::abs(after[i + 1] - 120), 6) << name << " pixel " << i / 4;
      ASSERT_LE(std::abs(after[i + 2] - 40), 6) << name << " pixel " << i / 4;
    }
    EXPECT_GT(covered, 0) << name;
  }
}

}  // namespace
}  // namespace cvl
