// Window filters against their definitions: brute-force windows with the border
// repeated, grown and shrunk shapes, removed dots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "imaging/filters/box_blur.h"
#include "imaging/filters/lone_dots.h"
#include "imaging/filters/dust_and_scratches.h"
#include "imaging/filters/median_filter.h"
#include "imaging/filters/min_max_filter.h"
#include "imaging/filters/window_means.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

struct Picture {
  std::vector<uint8_t> px;
  ImageView view;
  Picture(int32_t w, int32_t h, int32_t ch, uint8_t fill = 0)
      : px(size_t(w) * h * ch, fill), view{px.data(), w, h, ch, w * ch} {}
  uint8_t& at(int32_t x, int32_t y, int32_t c = 0) { return view.row(y)[x * view.channels + c]; }
};

Picture noise(int32_t w, int32_t h, int32_t ch) {
  Picture p(w, h, ch);
  uint32_t s = 12345;
  for (auto& v : p.px) v = uint8_t((s = s * 1103515245u + 12345u) >> 23);
  return p;
}

// The window values of (x, y, c) with the border repeated, sorted.
std::vector<uint8_t> window(Picture& p, int32_t x, int32_t y, int32_t c, int32_t r) {
  std::vector<uint8_t> v;
  for (int32_t dy = -r; dy <= r; ++dy)
    for (int32_t dx = -r; dx <= r; ++dx)
      v.push_back(p.at(std::clamp(x + dx, 0, p.view.width - 1), std::clamp(y + dy, 0, p.view.height - 1), c));
  std::sort(v.begin(), v.end());
  return v;
}

TEST(RankFilters, MatchBruteForceWindowsIncludingTheBorders) {
  for (int32_t ch : {1, 3, 4})
    for (int32_t r : {1, 2, 5}) {
      Picture in = noise(23, 17, ch), med(23, 17, ch), hi(23, 17, ch), lo(23, 17, ch), mid(23, 17, ch);
      ASSERT_TRUE(median_filter(in.view, med.view, r));
      ASSERT_TRUE(maximum_filter(in.view, hi.view, r));
      ASSERT_TRUE(minimum_filter(in.view, lo.view, r));
      ASSERT_TRUE(midpoint_filter(in.view, mid.view, r));
      for (int32_t y = 0; y < 17; ++y)
        for (int32_t x = 0; x < 23; ++x)
          for (int32_t c = 0; c < ch; ++c) {
            const std::vector<uint8_t> w = window(in, x, y, c, r);
            ASSERT_EQ(med.at(x, y, c), w[w.size() / 2]) << ch << " " << r << " " << x << "," << y;
            ASSERT_EQ(hi.at(x, y, c), w.back());
            ASSERT_EQ(lo.at(x, y, c), w.front());
            ASSERT_EQ(mid.at(x, y, c), (w.front() + w.back() + 1) / 2);
          }
    }
}

// The median in bands of rows: every thread count gives the brute-force
// medians, with a channel left out by the mask copied through.
TEST(RankFilters, MedianInBandsMatchesBruteForceAtEveryThreadCount) {
  const int32_t w = 211, h = 157;
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const int32_t r : {1, 3}) {
      Picture in = noise(w, h, 4), med(w, h, 4, 9);
      ASSERT_TRUE(median_filter(in.view, med.view, r, 0b1011));
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
          for (int32_t c = 0; c < 4; ++c) {
            if (c == 2) {
              ASSERT_EQ(med.at(x, y, c), in.at(x, y, c));
              continue;
            }
            const std::vector<uint8_t> v = window(in, x, y, c, r);
            ASSERT_EQ(med.at(x, y, c), v[v.size() / 2])
                << "r " << r << " at " << x << "," << y << " threads " << threads;
          }
    }
  }
  set_thread_count(0);
}

TEST(RankFilters, MaximumGrowsAndMinimumShrinksAShapeByTheRadius) {
  for (int32_t r : {1, 3, 6}) {
    Picture dot(41, 41, 1), grown(41, 41, 1), square(41, 41, 1), shrunk(41, 41, 1);
    dot.at(20, 20) = 255;
    for (int32_t y = 10; y <= 30; ++y)
      for (int32_t x = 10; x <= 30; ++x) square.at(x, y) = 200;
    ASSERT_TRUE(maximum_filter(dot.view, grown.view, r));
    ASSERT_TRUE(minimum_filter(square.view, shrunk.view, r));
    int32_t lit = 0, kept = 0;
    for (int32_t y = 0; y < 41; ++y)
      for (int32_t x = 0; x < 41; ++x) {
        const bool near = std::abs(x - 20) <= r && std::abs(y - 20) <= r;
        EXPECT_EQ(grown.at(x, y), near ? 255 : 0);
        lit += grown.at(x, y) != 0;
        const bool inside = x >= 10 + r && x <= 30 - r && y >= 10 + r && y <= 30 - r;
        EXPECT_EQ(shrunk.at(x, y), inside ? 200 : 0);
        kept += shrunk.at(x, y) != 0;
      }
    EXPECT_EQ(lit, (2 * r + 1) * (2 * r + 1));
    EXPECT_EQ(kept, (21 - 2 * r) * (21 - 2 * r));
  }
}

TEST(RankFilters, DotRemoversTakeOutAnIsolatedDotAndKeepEdgesAndLines) {
  Picture base(30, 20, 3, 90);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 15; x < 30; ++x)
      for (int32_t c = 0; c < 3; ++c) base.at(x, y, c) = 180;  // a step edge
  for (int32_t x = 0; x < 15; ++x) base.at(x, 5, 1) = 20;      // a one-pixel line
  Picture dotted = base;
  dotted.view.data = dotted.px.data();
  dotted.at(7, 12, 0) = 255;
  dotted.at(22, 14, 2) = 0;

  Picture desp = dotted;
  desp.view.data = desp.px.data();
  ASSERT_TRUE(remove_lone_dots(desp.view, 7));
  EXPECT_EQ(desp.px, base.px);

  Picture med(30, 20, 3);
  ASSERT_TRUE(median_filter(dotted.view, med.view, 1));
  EXPECT_EQ(med.at(7, 12, 0), 90);
  EXPECT_EQ(med.at(22, 14, 2), 180);
  EXPECT_EQ(med.at(14, 3, 0), 90);
  EXPECT_EQ(med.at(15, 3, 0), 180);  // the step stays where it was

  // Low-contrast texture under the threshold stays; the dots go.
  Picture textured = dotted, dust(30, 20, 3);
  textured.view.data = textured.px.data();
  for (int32_t x = 0; x < 15; x += 2) textured.at(x, 16, 0) = 95;
  ASSERT_TRUE(dust_and_scratches(textured.view, dust.view, 2, 30, 1.0));
  EXPECT_EQ(dust.at(7, 12, 0), 90);
  EXPECT_EQ(dust.at(22, 14, 2), 180);
  for (int32_t x = 0; x < 15; ++x) EXPECT_EQ(dust.at(x, 16, 0), textured.at(x, 16, 0));
}

TEST(RankFilters, MeansKeepUniformImagesAndOrderHarmonicBelowGeometricBelowArithmetic) {
  Picture flat(25, 19, 4), out(25, 19, 4);
  for (size_t i = 0; i < flat.px.size(); ++i) flat.px[i] = uint8_t(i % 4 * 70 + 3);
  for (auto op : {geometric_mean, harmonic_mean}) {
    ASSERT_TRUE(op(flat.view, out.view, 4));
    EXPECT_EQ(out.px, flat.px);
  }
  Picture in = noise(40, 30, 3), a(40, 30, 3), g(40, 30, 3), h(40, 30, 3);
  ASSERT_TRUE(box_blur(in.view, a.view, 2));
  ASSERT_TRUE(geometric_mean(in.view, g.view, 2));
  ASSERT_TRUE(harmonic_mean(in.view, h.view, 2));
  double sa = 0, sg = 0, sh = 0;
  for (size_t i = 0; i < in.px.size(); ++i) {
    ASSERT_LE(h.px[i], g.px[i] + 1);
    ASSERT_LE(g.px[i], a.px[i] + 1);
    sa += a.px[i], sg += g.px[i], sh += h.px[i];
  }
  EXPECT_GT(sa, sg * 1.05);  // the windows mix dark and light, so the means part
  EXPECT_GT(sg, sh * 1.05);
  // Against the definition at one pixel, border repeated.
  const std::vector<uint8_t> w = window(in, 0, 0, 1, 2);
  double logs = 0;
  for (uint8_t v : w) logs += std::log(v + 1.0);
  EXPECT_NEAR(g.at(0, 0, 1), std::exp(logs / w.size()) - 1, 1.0);
}

TEST(RankFilters, InPlaceEqualsOutOfPlace) {
  Picture in = noise(31, 22, 4);
  using Op = bool (*)(const ImageView&, const ImageView&, int32_t);
  const Op ops[] = {
      maximum_filter,  minimum_filter,
      midpoint_filter, geometric_mean,
      harmonic_mean,   [](const ImageView& s, const ImageView& d, int32_t r) { return median_filter(s, d, r); }};
  for (Op op : ops) {
    Picture out(31, 22, 4), same = in;
    same.view.data = same.px.data();
    ASSERT_TRUE(op(in.view, out.view, 3));
    ASSERT_TRUE(op(same.view, same.view, 3));
    EXPECT_EQ(same.px, out.px);
  }
}

}  // namespace
}  // namespace cvl::imaging
