// The square maximum and minimum runners against their plain twins: the same
// bytes for tiny and odd pictures, reaches from none to past the picture, and
// at one, two and three threads with bands small enough that tiny pictures split.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "imagescript/effect_runners.h"
#include "imagescript/morphology_reference.h"
#include "imaging/parallel_bands.h"

namespace cvl::imagescript {
namespace {

std::vector<uint8_t> picture(int32_t w, int32_t h, uint32_t seed) {
  std::vector<uint8_t> p(size_t(w) * h * 4);
  for (size_t i = 0; i < p.size(); ++i) {
    uint32_t x = uint32_t(i) * 0x9E3779B1u ^ seed;
    x ^= x >> 15, x *= 0x2C1B3C6Du, x ^= x >> 12;
    p[i] = uint8_t(x % 7 == 0 ? 255 : x % 11 == 0 ? 0 : (i / 4 % size_t(w)) * 3 + x % 23);
  }
  return p;
}

TEST(MorphologyDifferential, MaximumAndMinimumMatchTheReference) {
  imaging::set_band_work_floor(1);
  const struct {
    bool (*fast)(const Values&, uint8_t*, int32_t, int32_t);
    bool (*slow)(const Values&, uint8_t*, int32_t, int32_t);
  } kRunners[] = {{run_maximum, run_maximum_reference}, {run_minimum, run_minimum_reference}};
  const struct { int32_t w, h; } kShapes[] = {{1, 1}, {2, 3}, {3, 2}, {17, 9}, {64, 33}, {5, 71}, {300, 4}};
  for (int threads : {1, 2, 3}) {
    imaging::set_thread_count(threads);
    for (const auto& run : kRunners)
      for (const auto& s : kShapes)
        for (int32_t reach : {-1, 0, 1, 2, 3, 5, 13, 40, 400}) {
          const int32_t data[1] = {reach};
          const Values v{data, 1};
          std::vector<uint8_t> fast = picture(s.w, s.h, uint32_t(reach + 7)), slow = fast;
          ASSERT_EQ(run.fast(v, fast.data(), s.w, s.h), run.slow(v, slow.data(), s.w, s.h));
          ASSERT_EQ(fast, slow) << s.w << "x" << s.h << " reach " << reach << " threads " << threads;
        }
  }
  imaging::set_thread_count(0);
  imaging::set_band_work_floor(0);
}

}  // namespace
}  // namespace cvl::imagescript
