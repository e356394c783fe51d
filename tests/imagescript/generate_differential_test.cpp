// The generators' banded, span-by-span drawing against their plain twins that measure
// every pixel of every shape's box: the same words over varied pictures, sizes
// (single pixels, slivers, odd sizes), extreme values, seeds, blends and thread counts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "imagescript/effect_runners.h"
#include "imagescript/generate_reference.h"
#include "imagescript/shape_layer.h"
#include "imaging/parallel_bands.h"
#include "support/effect_values.h"

namespace cvl::imagescript {
namespace {

using Pixels = std::vector<uint8_t>;

using test_support::values;

// Ramps with hard squares and a transparent strip, so every blend mode meets both
// transparent and opaque pixels under the shapes.
Pixels varied(int w, int h) {
  Pixels px(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &px[(size_t(y) * w + x) * 4];
      const bool square = (x / 7 + y / 5) % 3 == 0;
      p[0] = uint8_t(x * 255 / std::max(w - 1, 1)), p[1] = uint8_t(y * 255 / std::max(h - 1, 1));
      p[2] = square ? 230 : 30, p[3] = uint8_t(x < w / 5 ? 0 : square ? 255 : 120);
    }
  return px;
}

struct Generator {
  const char* name;
  Runner fast, reference;
  int seed_index, blend_index;
  std::vector<std::map<int, int32_t>> settings;  // besides seed and blend
};

const std::vector<Generator>& generators() {
  static const std::vector<Generator> kGenerators = {
      {"lines",
       run_lines,
       run_lines_reference,
       3,
       14,
       {{{4, 40}, {5, 30}, {6, 30}, {7, 3}, {8, 200}, {9, 40}, {10, 90}, {17, 40}, {18, 50}},
        {{4, 25}, {5, 0}, {7, 1}, {15, 1}, {16, 1}},
        {{4, 6}, {5, 400}, {6, -90}, {7, 40}, {16, 1}}}},
      {"circles",
       run_circles,
       run_circles_reference,
       3,
       14,
       {{{4, 30}, {5, 12}, {7, 3}, {8, 10}, {9, 200}, {10, 90}, {17, 50}, {18, 50}},
        {{4, 12}, {5, 40}, {7, 60}, {15, 1}, {18, 100}},
        {{4, 20}, {5, 9}, {16, 1}, {15, 1}, {17, 100}},
        {{4, 50}, {5, 1}, {7, 1}, {16, 0}},
        {{4, 3}, {5, 300}, {7, 2}}}},
      {"rectangles",
       run_rectangles,
       run_rectangles_reference,
       3,
       14,
       {{{4, 30}, {5, 14}, {6, 9}, {7, 2}, {8, 250}, {17, 30}, {18, 60}},
        {{4, 10}, {5, 50}, {6, 40}, {7, 100}, {15, 1}},
        {{4, 15}, {5, 7}, {6, 30}, {16, 1}, {18, 100}}}},
      {"points",
       run_points,
       run_points_reference,
       3,
       12,
       {{{4, 60}, {5, 0}, {6, 9}, {13, 1}}, {{4, 30}, {5, 4}, {6, 100}, {14, 80}}}},
      {"splines",
       run_splines,
       run_splines_reference,
       3,
       15,
       {{{4, 5}, {5, 6}, {7, 20}, {8, 4}, {9, 40}, {17, 20}, {18, 50}},
        {{4, 3}, {5, 3}, {7, 200}, {8, 1}, {16, 1}},
        {{4, 2}, {5, 64}, {7, 8}, {8, 15}}}},
      {"worms",
       run_worms,
       run_worms_reference,
       3,
       14,
       {{{4, 8}, {5, 60}, {6, 300}, {7, 5}, {8, 80}, {16, 40}},
        {{4, 4}, {5, 1}, {6, 0}, {7, 1}, {15, 1}},
        {{4, 3}, {5, 200}, {6, 1800}, {7, 14}}}},
      {"trees",
       run_trees,
       run_trees_reference,
       3,
       15,
       {{{4, 3}, {5, 20}, {6, 5}, {8, 6}, {9, 120}, {17, 30}, {19, 40}},
        {{4, 2}, {5, 8}, {6, 12}, {8, 1}, {16, 1}, {19, 100}},
        {{4, 1}, {5, 60}, {6, 1}, {8, 30}, {19, 0}}}},
      {"fibers",
       run_fibers,
       run_fibers_reference,
       3,
       16,
       {{{4, 60}, {5, 30}, {6, 12}, {7, 2}, {8, 200}, {11, 40}, {12, 20}},
        {{4, 200}, {5, 5}, {6, 180}, {7, 1}, {12, 100}},
        {{4, 10}, {5, 100}, {6, 0}, {7, 9}}}},
      {"blobs",
       run_blobs,
       run_blobs_reference,
       3,
       13,
       {{{4, 12}, {5, 9}, {7, 60}, {8, 120}, {9, 220}}, {{4, 40}, {5, 2}, {14, 1}}, {{4, 3}, {5, 80}, {14, 1}}}},
      {"perlin",
       run_perlin,
       run_perlin_reference,
       3,
       12,
       {{{4, 20}, {5, 3}, {6, 200}}, {{4, 1}, {5, 9}, {13, 1}}, {{4, 100}, {5, 0}}}},
      // Sine plasma draws nothing at random: value 3 (the seed's place) is its waves across.
      {"sine plasma",
       run_sine_plasma,
       run_sine_plasma_reference,
       3,
       13,
       {{{4, 3}, {5, 60}, {6, 200}, {7, 40}}, {{4, 0}, {5, 0}, {6, 0}}, {{4, 250}, {5, 125}, {9, 255}}}},
      {"fractal plasma",
       run_fractal_plasma,
       run_fractal_plasma_reference,
       3,
       10,
       {{{4, 20}, {5, 90}, {6, 200}}, {{11, 1}}, {{4, 128}, {5, 128}, {6, 128}}}},
  };
  return kGenerators;
}

TEST(GenerateDifferential, BandedSpansDrawWhatThePlainTwinDraws) {
  const struct { int w, h; } sizes[] = {{1, 1}, {2, 3}, {24, 20}, {97, 61}, {5, 140}};
  const int32_t seeds[] = {1, 7, 31999};
  const int32_t blends[] = {12, 0, 1, 3, 7, 8, 11, 40};
  for (const Generator& g : generators())
    for (size_t s = 0; s < g.settings.size(); ++s)
      for (const auto& size : sizes)
        for (size_t k = 0; k < 3; ++k) {
          std::map<int, int32_t> by_index = g.settings[s];
          by_index[g.seed_index] = seeds[k];
          by_index[g.blend_index] = blends[(s * 3 + k) % std::size(blends)];
          const std::vector<int32_t> v = values(by_index);
          const Values vals{v.data(), int32_t(v.size())};
          Pixels fast = varied(size.w, size.h), reference = fast;
          EXPECT_EQ(g.fast(vals, fast.data(), size.w, size.h), g.reference(vals, reference.data(), size.w, size.h));
          EXPECT_EQ(fast, reference) << g.name << " setting " << s << " at " << size.w << "x" << size.h << " seed "
                                     << seeds[k];
        }
}

// Enough shapes on a picture large enough that the drawing and the blend split into
// bands; every blend mode once. The words must not depend on the thread count.
TEST(GenerateDifferential, EveryThreadCountDrawsTheSameWords) {
  constexpr int kW = 300, kH = 420;
  const int saved = imaging::thread_count_setting();
  for (const Generator& g : generators()) {
    std::map<int, int32_t> by_index = g.settings[0];
    by_index[g.seed_index] = 5;
    if (by_index.count(4) && g.fast != run_fractal_plasma) by_index[4] *= 6;
    const std::vector<int32_t> v = values(by_index);
    const Values vals{v.data(), int32_t(v.size())};
    Pixels want = varied(kW, kH);
    g.reference(vals, want.data(), kW, kH);
    for (int threads : {1, 2, 3}) {
      imaging::set_thread_count(threads);
      Pixels got = varied(kW, kH);
      g.fast(vals, got.data(), kW, kH);
      EXPECT_EQ(got, want) << g.name << " at " << threads << " threads";
    }
  }
  imaging::set_thread_count(saved);
}

// Wild values: sizes far past the picture and negative counts draw what the twin draws
// (nothing, or shapes clipped to the picture) without reading or writing outside it.
TEST(GenerateDifferential, WildValuesStayWithinThePicture) {
  const std::vector<std::pair<Runner, Runner>> pairs = {
      {run_circles, run_circles_reference},       {run_lines, run_lines_reference},
      {run_rectangles, run_rectangles_reference}, {run_worms, run_worms_reference},
      {run_trees, run_trees_reference},           {run_blobs, run_blobs_reference}};
  const std::vector<std::map<int, int32_t>> wild = {
      {{3, 2}, {4, 3}, {5, 100000}, {6, 100000}, {7, 100000}, {8, 100000}},
      {{3, 2}, {4, -5}, {5, -100}, {7, -3}},
      {{3, 2}, {4, 2}, {5, 2000000000}, {6, 1}, {7, 1}, {8, 1}, {16, 1}}};
  for (const auto& [fast_run, reference_run] : pairs)
    for (const auto& w : wild) {
      const std::vector<int32_t> v = values(w);
      const Values vals{v.data(), int32_t(v.size())};
      Pixels fast = varied(33, 17), reference = fast;
      fast_run(vals, fast.data(), 33, 17);
      reference_run(vals, reference.data(), 33, 17);
      EXPECT_EQ(fast, reference);
    }
}

// Every partial coverage over every alpha already there: the layer's integer "over"
// (its division by the new alpha done by a multiply and shift) against the plain one.
TEST(GenerateDifferential, CoverMatchesThePlainDivisionForEveryAlpha) {
  const uint8_t levels[] = {0, 1, 77, 128, 254, 255};
  for (int a = 1; a < 255; ++a)
    for (uint8_t under : levels)
      for (uint8_t over : levels) {
        PaintLayer fast(256, 1), plain(256, 1);
        for (int x = 0; x < 256; ++x) {
          // Pixel x holds alpha x (a first coverage over nothing), then takes `a`.
          const Rgb first{under, uint8_t(255 - under), uint8_t(x)};
          fast.cover(x, 0, first, x / 255.0), plain.cover_reference(x, 0, first, x / 255.0);
          fast.cover(x, 0, {over, uint8_t(255 - over), under}, a / 255.0);
          plain.cover_reference(x, 0, {over, uint8_t(255 - over), under}, a / 255.0);
        }
        ASSERT_EQ(std::vector<uint8_t>(fast.row(0), fast.row(0) + 1024),
                  std::vector<uint8_t>(plain.row(0), plain.row(0) + 1024))
            << "coverage " << a << " under " << int(under) << " over " << int(over);
      }
}

// Shapes placed at random (seeded) over a small layer, many clipped by its edges, with
// the awkward cases among them: straight up and across, single points, hairlines,
// widths past the layer, translucent strokes, rows drawn in separate windows.
TEST(GenerateDifferential, ShapesAtRandomLayTheirTwinsPixels) {
  constexpr int kW = 61, kH = 47;
  Lcg random(2024);
  auto coord = [&](double reach) { return random.range(-reach, reach) + random.range(0, kW); };
  for (int trial = 0; trial < 400; ++trial) {
    PaintLayer fast(kW, kH), plain(kW, kH);
    const Rgb colour{uint8_t(random.next() & 255), uint8_t(random.next() & 255), uint8_t(random.next() & 255)};
    const int kind = trial % 4;
    const double width = trial % 7 == 0 ? 1.0 : random.range(0.5, trial % 11 == 0 ? 90.0 : 14.0);
    const double opacity = trial % 3 == 0 ? 1.0 : random.range(0.1, 1.0);
    const int split = 1 + int(random.below(kH));  // drawn in two windows of rows
    if (kind == 0) {
      const double x = coord(20), y = random.range(-10, kH + 10), r = random.range(0.2, trial % 5 ? 30.0 : 200.0);
      const double line = trial % 2 ? 0.0 : random.range(0.5, 12.0);
      fast.ring(x, y, r, line, colour, {0, split}), fast.ring(x, y, r, line, colour, {split, kH});
      plain.ring_reference(x, y, r, line, colour);
    } else if (kind == 3) {
      const double x0 = coord(20), y0 = random.range(-10, kH + 10), x1 = coord(20), y1 = random.range(-10, kH + 10);
      const double line = trial % 2 ? 0.0 : random.range(0.5, 9.0);
      fast.rectangle(x0, y0, x1, y1, line, colour, {0, split}),
          fast.rectangle(x0, y0, x1, y1, line, colour, {split, kH});
      plain.rectangle_reference(x0, y0, x1, y1, line, colour);
    } else {
      std::vector<double> xy;
      const int points = kind == 1 ? 1 + trial % 2 : 3 + int(random.below(30));
      double x = coord(10), y = random.range(-5, kH + 5);
      for (int p = 0; p < points; ++p) {
        xy.push_back(x), xy.push_back(y);
        const int turn = int(random.below(5));
        const double step = random.range(0, trial % 13 == 0 ? 60.0 : 3.0);
        if (turn == 0) x += step;       // straight across
        else if (turn == 1) y += step;  // straight down
        else if (turn != 2) x += random.range(-step, step), y += random.range(-step, step);
      }
      fast.polyline(xy.data(), xy.size() / 2, width, colour, opacity, {0, split});
      fast.polyline(xy.data(), xy.size() / 2, width, colour, opacity, {split, kH});
      plain.polyline_reference(xy, width, colour, opacity);
    }
    for (int y = 0; y < kH; ++y)
      ASSERT_EQ(std::vector<uint8_t>(fast.row(y), fast.row(y) + kW * 4),
                std::vector<uint8_t>(plain.row(y), plain.row(y) + kW * 4))
          << "trial " << trial << " kind " << kind << " row " << y;
  }
}

}  // namespace
}  // namespace cvl::imagescript
