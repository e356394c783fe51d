// Strokes on the paint layer, where each segment measures only the pixels it can be
// nearest to, four at a time where the processor allows: the same words as the plain
// twin that measures every pixel of every segment's box, with and without the lanes.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <vector>

#include "imagescript/effect_runners.h"
#include "imagescript/generate_reference.h"
#include "imagescript/shape_layer.h"
#include "imaging/parallel_bands.h"
#include "support/effect_values.h"

namespace cvl::imagescript {
namespace {

// Turns the lanes off for the scope when asked.
struct PortableLanes {
  explicit PortableLanes(bool on) { paint_layer_use_portable_lanes(on); }
  ~PortableLanes() { paint_layer_use_portable_lanes(false); }
};

std::vector<uint8_t> layer_words(PaintLayer& layer) {
  return std::vector<uint8_t>(layer.row(0), layer.row(0) + size_t(layer.width()) * layer.height() * 4);
}

// A walk from (x, y) of `steps` steps of `step` pixels, turning by turn(i) radians
// before step i.
template <class Turn>
std::vector<double> walk(double x, double y, double heading, int steps, double step, Turn turn) {
  std::vector<double> xy = {x, y};
  for (int i = 0; i < steps; ++i) {
    heading += turn(i);
    x += step * std::cos(heading), y -= step * std::sin(heading);
    xy.push_back(x), xy.push_back(y);
  }
  return xy;
}

// Bends gentle and sharp (the wedges outside them answered for by both segments at
// the joint), hairpins, steps straight up and across, steps too short to have a
// direction, points far off the layer, and strokes too wide to share, at widths from
// a hairline up, translucent, drawn in two windows of rows.
TEST(ShapeLayerStrokes, EveryBendAndStepLaysTheTwinsPixels) {
  constexpr int kW = 83, kH = 61;
  Lcg random(77);
  std::vector<std::vector<double>> strokes;
  for (double turn : {0.0, 0.2, 0.45, 1.6, 2.7, 3.14159})
    strokes.push_back(walk(random.range(10, 70), random.range(10, 50), random.range(0, 6.3), 40, 2.0,
                           [&](int) { return random.range(-turn, turn); }));
  strokes.push_back(walk(20, 30, 0.3, 30, 2.0, [](int i) { return i % 2 ? 2.9 : -2.9; }));         // hairpins
  strokes.push_back(walk(40, 5, 0.0, 24, 2.0, [](int i) { return i % 6 == 5 ? kPi / 2 : 0.0; }));  // a square walk
  strokes.push_back(
      {30, 5, 30, 9, 30, 13, 34, 13, 38, 13, 38, 9, 38.000000000001, 5, 30, 5});  // straight up and across
  strokes.push_back({10, 10, 12, 11, 12.001, 11.002, 12.04, 11, 12.04, 11, 15, 14, 15, 14.03, 20, 20});  // tiny steps
  strokes.push_back({-3e6, 20, 30, 25, 33, 27, 36, 26, 4e6, 30, 50, 40});  // points far off
  strokes.push_back({5, 5, 60, 50, 62, 49, 20, 8, 22, 10});                // long and short steps, a sharp return
  const double widths[] = {1.0, 2.5, 4.0, 12.5, 31.0};
  for (bool portable : {false, true}) {
    const PortableLanes lanes(portable);
    for (size_t s = 0; s < strokes.size(); ++s)
      for (double width : widths) {
        const Rgb colour{uint8_t(random.next() & 255), uint8_t(random.next() & 255), uint8_t(random.next() & 255)};
        const double opacity = random.range(0.3, 1.0);
        const int split = 1 + int(random.below(kH - 1));
        PaintLayer fast(kW, kH), plain(kW, kH);
        const std::vector<double>& xy = strokes[s];
        fast.polyline(xy.data(), xy.size() / 2, width, colour, opacity, {0, split});
        fast.polyline(xy.data(), xy.size() / 2, width, colour, opacity, {split, kH});
        plain.polyline_reference(xy, width, colour, opacity);
        ASSERT_EQ(layer_words(fast), layer_words(plain))
            << "stroke " << s << " width " << width << (portable ? " without lanes" : "");
      }
    // Wider than any segment may share: every segment answers for everything.
    PaintLayer fast(kW, kH), plain(kW, kH);
    fast.polyline(strokes[1], 9000.0, {200, 30, 90}, 0.6),
        plain.polyline_reference(strokes[1], 9000.0, {200, 30, 90}, 0.6);
    EXPECT_EQ(layer_words(fast), layer_words(plain)) << (portable ? "without lanes" : "");
  }
}

// A stroke wholly covering pixels that hold every alpha, at every opacity: the
// layer's "over" laid eight pixels at a time against the plain division.
TEST(ShapeLayerStrokes, TranslucentStrokesLayOverEveryAlphaAsThePlainDivision) {
  const double xy[] = {-5, 1.5, 130, 1.5, 300, 1.5};
  for (uint8_t under : {uint8_t(0), uint8_t(77), uint8_t(255)})
    for (int a = 1; a < 255; ++a) {
      PaintLayer fast(256, 3), plain(256, 3);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x) {
          // Pixel x holds alpha x, under a colour of its own.
          const Rgb first{under, uint8_t(255 - under), uint8_t(x * 7)};
          fast.cover(x, y, first, x / 255.0), plain.cover_reference(x, y, first, x / 255.0);
        }
      const Rgb colour{uint8_t(255 - under), uint8_t(a), under};
      fast.polyline(xy, 3, 3.0, colour, a / 255.0, fast.all_rows());
      plain.polyline_reference(std::vector<double>(std::begin(xy), std::end(xy)), 3.0, colour, a / 255.0);
      ASSERT_EQ(layer_words(fast), layer_words(plain)) << "alpha " << a << " under " << int(under);
    }
}

// The path generators over a picture, with and without the lanes, on one and two
// threads: the plain twin's words.
TEST(ShapeLayerStrokes, PathGeneratorsDrawTheTwinsWordsWithAndWithoutLanes) {
  struct Case {
    Runner fast, reference;
    std::map<int, int32_t> values;
  };
  const Case cases[] = {
      {run_fibers, run_fibers_reference, {{3, 9}, {4, 40}, {5, 120}, {6, 25}, {7, 12}, {11, 30}, {12, 50}}},
      {run_fibers, run_fibers_reference, {{3, 4}, {4, 100}, {5, 40}, {6, 3}, {7, 1}, {12, 100}, {16, 0}}},
      {run_worms, run_worms_reference, {{3, 2}, {4, 6}, {5, 150}, {6, 900}, {7, 7}}},
      {run_splines, run_splines_reference, {{3, 5}, {4, 4}, {5, 9}, {7, 60}, {8, 5}}},
  };
  constexpr int kW = 150, kH = 110;
  const int saved = imaging::thread_count_setting();
  for (const Case& c : cases) {
    const std::vector<int32_t> v = test_support::values(c.values);
    const Values vals{v.data(), int32_t(v.size())};
    std::vector<uint8_t> want(size_t(kW) * kH * 4, 0);
    for (size_t i = 0; i < want.size(); ++i) want[i] = uint8_t(i * 7 % 251);
    const std::vector<uint8_t> picture = want;
    c.reference(vals, want.data(), kW, kH);
    for (bool portable : {false, true})
      for (int threads : {1, 2}) {
        const PortableLanes lanes(portable);
        imaging::set_thread_count(threads);
        std::vector<uint8_t> got = picture;
        c.fast(vals, got.data(), kW, kH);
        EXPECT_EQ(got, want) << "seed " << c.values.at(3) << " threads " << threads
                             << (portable ? " without lanes" : "");
      }
  }
  imaging::set_thread_count(saved);
}

}  // namespace
}  // namespace cvl::imagescript
