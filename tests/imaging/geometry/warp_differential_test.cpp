// The inverse-mapping sampler and the polygon warp are held to their plain twins:
// the same bytes for points scattered over, on and past the picture's edges, for
// quads of every kind, on pictures from 1 x 1 up, padded rows, at 1 and 3 threads
// and with each vector path.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "imaging/geometry/inverse_map.h"
#include "imaging/geometry/polygon_warp.h"
#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

const Colour kFill{7, 200, 33, 0};

// A picture of random bytes whose rows are `pad` bytes longer than the pixels.
struct Padded {
  std::vector<uint8_t> px;
  ImageView view;
  Padded(int32_t w, int32_t h, int32_t pad, uint32_t seed) : px(size_t(w * 4 + pad) * size_t(h)) {
    Lcg15 rng(seed);
    for (uint8_t& v : px) v = uint8_t(rng.next());
    // Runs of full and empty bytes, where a blend that rounds wrong spills.
    for (size_t i = 0; i < px.size() / 3; ++i) px[i] = (i / 64) % 2 ? 255 : 0;
    view = {px.data(), w, h, 4, w * 4 + pad};
  }
};

// Runs `warp` into two fresh destinations at 1 and 3 threads (bands of a row or
// two) and `plain` into a third; every byte must agree, the padding left alone.
// The fast runs take the eight-point vector path where the processor has it, and
// once the four-point path.
template <class Fast, class Plain>
void expect_same(int32_t w, int32_t h, Fast&& warp, Plain&& plain, const char* what) {
  std::vector<std::vector<uint8_t>> outs;
  for (int threads : {0, 1, 3, -1}) {
    Padded dst(w, h, 8, 99);
    bool done;
    if (threads == 0) {
      done = plain(dst.view);
    } else if (threads < 0) {
      detail::allow_avx2_sampler(false);
      done = warp(dst.view);
      detail::allow_avx2_sampler(true);
    } else {
      set_thread_count(threads);
      set_band_work_floor(1);
      done = warp(dst.view);
      set_band_work_floor(65536);
      set_thread_count(0);
    }
    ASSERT_TRUE(done) << what;
    outs.push_back(dst.px);
  }
  for (size_t k = 1; k < outs.size(); ++k) {
    ASSERT_EQ(outs[k].size(), outs[0].size());
    for (size_t i = 0; i < outs[0].size(); ++i)
      ASSERT_EQ(outs[k][i], outs[0][i]) << what << " " << w << "x" << h << " byte " << i << " run " << k;
  }
}

TEST(WarpDifferential, SamplerMatchesThePlainLoopForWildAndEdgePoints) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const int32_t sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {7, 5}, {37, 23}, {260, 6}, {5, 300}};
  for (const auto& size : sizes) {
    const int32_t w = size[0], h = size[1];
    Padded src(w, h, 12, uint32_t(w * 31 + h));
    // Points near the edges and past them, exact pixel centres and halves, and
    // values no picture holds.
    const float specials[] = {-2.0f,
                              -1.999f,
                              -1.5f,
                              -1.0f,
                              -0.5f,
                              -0.0039f,
                              0,
                              0.5f,
                              0.998f,
                              1,
                              float(w) - 1,
                              float(w) - 0.5f,
                              float(w),
                              float(w) + 0.999f,
                              float(w) + 1,
                              float(h) - 1,
                              float(h) + 0.5f,
                              1e30f,
                              -1e30f,
                              inf,
                              -inf,
                              nan,
                              0.00196f};
    const size_t count = sizeof specials / sizeof specials[0];
    auto map = [&](int32_t x, int32_t y, float& sx, float& sy) {
      const uint32_t k = uint32_t(y) * 2654435761u ^ uint32_t(x) * 40503u;
      // Every other row runs of points well inside, the rest a mix.
      switch (y % 2 ? k % 5 : 4) {
        case 0:
          return false;
        case 1:
          sx = specials[k % count], sy = specials[(k / 7) % count];
          break;
        case 2:
          sx = specials[k % count], sy = float(k % 97) * 0.01f * float(h);
          break;
        default:
          // Points anywhere over the picture (or, every other row, inside it), in fine fractions.
          const float reach = y % 2 ? 3.0f : -1.0f, start = y % 2 ? -1.5f : 0.0f;
          sx = float(int32_t(k % 4099)) / 4096.0f * (float(w) + reach) + start;
          sy = float(int32_t((k >> 12) % 4099)) / 4096.0f * (float(h) + reach) + start;
      }
      return true;
    };
    expect_same(
        w, h, [&](const ImageView& d) { return inverse_map<Sampling::Bilinear>(src.view, d, kFill, map); },
        [&](const ImageView& d) { return inverse_map_reference<Sampling::Bilinear>(src.view, d, kFill, map); },
        "bilinear");
    expect_same(
        w, h, [&](const ImageView& d) { return inverse_map<Sampling::Nearest>(src.view, d, kFill, map); },
        [&](const ImageView& d) { return inverse_map_reference<Sampling::Nearest>(src.view, d, kFill, map); },
        "nearest");
  }
}

TEST(WarpDifferential, PolygonWarpMatchesItsPlainTwinForEveryKindOfQuad) {
  const int32_t sizes[][2] = {{1, 1}, {2, 3}, {9, 4}, {61, 47}, {130, 33}};
  for (const auto& size : sizes) {
    const int32_t w = size[0], h = size[1];
    const double r = w - 1, b = h - 1;
    Padded src(w, h, 4, uint32_t(w + 7 * h));
    const Quad box{{{0, 0}, {r, 0}, {r, b}, {0, b}}};
    std::vector<Quad> targets = {
        box,
        {{{r, 0}, {0, 0}, {0, b}, {r, b}}},                                                     // mirrored
        {{{0.3, -0.2}, {r * 0.8, 1.1}, {r + 2.5, b * 0.9}, {-1.25, b + 0.7}}},                  // perspective
        {{{-r, -b}, {2 * r, -b}, {2 * r, 2 * b}, {-r, 2 * b}}},                                 // twice as large
        {{{r * 0.4, b * 0.4}, {r * 0.6, b * 0.45}, {r * 0.55, b * 0.6}, {r * 0.45, b * 0.5}}},  // small
        {{{0, 0}, {r * 3, b * 0.2}, {r * 0.3, b * 0.3}, {0.2 * r, b * 3}}},                     // nearly folded
        {{{0, 0}, {r, 0}, {r, b}, {r, b}}},                                                     // degenerate
    };
    Lcg15 rng(uint32_t(w * h));
    for (int k = 0; k < 6; ++k) {
      Quad q;
      for (Point& p : q) p = {(rng.unit() * 1.6 - 0.3) * r, (rng.unit() * 1.6 - 0.3) * b};
      targets.push_back(q);
    }
    const Quad froms[] = {box, {{{r * 0.2, 0.5}, {r * 0.9, 0}, {r, b * 0.7}, {0.25, b}}}};
    for (const Quad& from : froms)
      for (const Quad& to : targets) {
        // A degenerate quad is refused by both; the rest must agree byte for byte.
        Padded probe(w, h, 0, 1);
        const bool fits = polygon_warp_reference(src.view, probe.view, from, to, kFill);
        if (!fits) {
          EXPECT_FALSE(polygon_warp(src.view, probe.view, from, to, kFill));
          continue;
        }
        expect_same(
            w, h, [&](const ImageView& d) { return polygon_warp(src.view, d, from, to, kFill); },
            [&](const ImageView& d) { return polygon_warp_reference(src.view, d, from, to, kFill); }, "warp");
      }
  }
}

}  // namespace
}  // namespace cvl::imaging
