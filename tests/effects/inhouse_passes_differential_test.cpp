// The propagating passes whose lines run in bands and side by side, against
// their plain twins that sweep pixel by pixel: the same bytes for tiny and odd
// pictures and extreme sliders, at one, two and three threads.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "effects/inhouse_library.h"
#include "effects/inhouse_passes_reference.h"
#include "imaging/parallel_bands.h"

namespace cvl {
namespace {

std::vector<uint8_t> picture(int32_t w, int32_t h, uint32_t seed) {
  std::vector<uint8_t> p(size_t(w) * h * 4);
  for (size_t i = 0; i < p.size(); ++i) {
    uint32_t x = uint32_t(i / 4 % 3 ? i / 4 : i) * 0x9E3779B1u ^ seed;
    x ^= x >> 15, x *= 0x2C1B3C6Du, x ^= x >> 12;
    // Runs of near greys broken by jumps, so that the steps' tests go both ways.
    p[i] = uint8_t((i / 4 % size_t(w)) * 5 + (x % 9) + (x % 17 == 0 ? 120 : 0));
  }
  return p;
}

TEST(InhousePassesDifferential, LinePassesMatchTheReference) {
  imaging::set_band_work_floor(1);
  const struct {
    InhouseEffect fast, slow;
  } kPasses[] = {{inhouse_value_blur, inhouse_value_blur_reference},
                 {inhouse_noise_reduction, inhouse_noise_reduction_reference},
                 {inhouse_noise_reduction_rgb, inhouse_noise_reduction_rgb_reference}};
  const struct { int32_t w, h; } kShapes[] = {{1, 1}, {2, 3}, {3, 2}, {17, 9}, {64, 33}, {5, 71}, {9, 4}};
  const double kSliders[][6] = {
      {0.5, 0.5, 0.5, 0.5, 0.5, 0.5}, {0, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1}, {0.1, 0.9, 0.3, 0.05, 0.7, 0.2}};
  for (int threads : {1, 2, 3}) {
    imaging::set_thread_count(threads);
    for (const auto& pass : kPasses)
      for (const auto& s : kShapes)
        for (const auto& sliders : kSliders) {
          std::vector<uint8_t> src = picture(s.w, s.h, uint32_t(s.w * 31 + s.h));
          std::vector<uint8_t> fast = src, slow = src;
          InhouseParams pf, ps;
          for (int i = 0; i < 6; ++i) pf.p[i] = ps.p[i] = sliders[i];
          pass.fast(pf, {src.data(), fast.data(), s.w, s.h});
          pass.slow(ps, {src.data(), slow.data(), s.w, s.h});
          ASSERT_EQ(fast, slow) << s.w << "x" << s.h << " threads " << threads << " slider " << sliders[0];
          ASSERT_EQ(pf.copy, ps.copy);
        }
  }
  imaging::set_thread_count(0);
  imaging::set_band_work_floor(0);
}

}  // namespace
}  // namespace cvl
