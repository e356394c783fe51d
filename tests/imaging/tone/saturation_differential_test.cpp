// The table saturation against the pixel-by-pixel reference: the same bytes
// for every factor (grey, unchanged, boosted, past clipping, complementary),
// on pictures small enough for the reference path and large enough for the
// table, 3 and 4 channels, at 1, 2 and 3 threads.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"
#include "imaging/tone/saturation.h"

namespace cvl::imaging {
namespace {

std::vector<uint8_t> noise(int32_t w, int32_t h, int32_t ch, uint32_t seed) {
  Lcg15 rng(seed);
  std::vector<uint8_t> px(size_t(w) * h * ch);
  for (uint8_t& v : px) v = uint8_t(rng.next() & 255);
  // Greys and near-greys, where max + min is even and the grey exact.
  for (size_t i = 0; i + 3 <= px.size(); i += size_t(ch) * 7) px[i + 1] = px[i + 2] = px[i];
  return px;
}

TEST(SaturationDifferential, TableMatchesTheReferenceForEverySizeAndFactor) {
  struct Size {
    int32_t w, h;
  };
  const double factors[] = {0.0, 1.0, 0.5, 1.5, 2.0, 10.0, -1.0, -0.37, 1e9};
  const int64_t floor = band_work_floor();
  set_band_work_floor(1);
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const Size size : {Size{1, 1}, Size{2, 3}, Size{37, 29}, Size{257, 173}})
      for (const int32_t ch : {3, 4}) {
        const std::vector<uint8_t> start = noise(size.w, size.h, ch, uint32_t(size.w * 31 + size.h + ch));
        for (const double factor : factors) {
          std::vector<uint8_t> fast = start, reference = start;
          ASSERT_TRUE(modify_saturation({fast.data(), size.w, size.h, ch, size.w * ch}, factor));
          ASSERT_TRUE(modify_saturation_reference({reference.data(), size.w, size.h, ch, size.w * ch}, factor));
          ASSERT_EQ(fast, reference) << size.w << "x" << size.h << " channels " << ch << " factor " << factor
                                     << " threads " << threads;
        }
      }
  }
  set_thread_count(0);
  set_band_work_floor(floor);
}

}  // namespace
}  // namespace cvl::imaging
