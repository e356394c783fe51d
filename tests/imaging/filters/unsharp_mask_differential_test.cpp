// The unsharp mask's branch-free rows over the wide blur against its plain twin
// (a channel at a time with branches, over the plain blur): the same bytes for
// every amount, sigma, threshold, limit, channel count and thread count.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/unsharp_mask.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

std::vector<uint8_t> picture(int32_t w, int32_t h, int32_t ch) {
  std::vector<uint8_t> px(size_t(w) * h * ch);
  for (size_t i = 0; i < px.size(); ++i) {
    uint32_t v = uint32_t(i) * 0x85EBCA77u;
    v ^= v >> 13, v *= 0x2C1B3C6Du, v ^= v >> 15;
    const size_t x = i / size_t(ch) % size_t(w), y = i / (size_t(ch) * size_t(w));
    // Flats, hard edges at both ends of the range, and grain.
    px[i] = (x / 6 + y / 5) % 3 == 0 ? ((x / 3 + y) % 2 ? 255 : 0) : (x / 6 + y / 5) % 3 == 1 ? 128 : uint8_t(v >> 24);
  }
  return px;
}

TEST(UnsharpMaskDifferential, BranchFreeRowsGiveThePlainTwinsBytes) {
  struct Settings {
    double amount, sigma;
    int32_t threshold, limit;
  };
  const Settings settings[] = {{2.5, 5.5, 10, 127}, {1.5, 2.0, 0, 255}, {5.0, 0.5, 0, 255}, {64.0, 1.0, 3, 255},
                               {900, 3.0, 0, 40},   {0.0, 2.0, 0, 255}, {-2, 2.0, 0, 255},  {0.37, 9.0, 255, 255},
                               {3.0, 0.3, 0, 9},    {2.0, 1.5, -1, 20}, {2.0, 1.5, -5, -7}, {2.0, 1.5, 4, -3}};
  struct Shape {
    int32_t w, h;
  };
  const Shape shapes[] = {{1, 1}, {2, 3}, {3, 2}, {37, 29}, {131, 70}};
  set_band_work_floor(64);
  for (const Shape s : shapes)
    for (int32_t ch : {3, 4})
      for (const Settings& k : settings) {
        std::vector<uint8_t> src = picture(s.w, s.h, ch), want(src.size(), 3);
        const ImageView sv{src.data(), s.w, s.h, ch, s.w * ch};
        ASSERT_TRUE(
            unsharp_mask_reference(sv, {want.data(), s.w, s.h, ch, s.w * ch}, k.amount, k.sigma, k.threshold, k.limit));
        for (int threads : {1, 2, 3}) {
          set_thread_count(threads);
          std::vector<uint8_t> got(src.size(), 3);
          ASSERT_TRUE(unsharp_mask(sv, {got.data(), s.w, s.h, ch, s.w * ch}, k.amount, k.sigma, k.threshold, k.limit));
          ASSERT_EQ(got, want) << s.w << " x " << s.h << " x " << ch << ", amount " << k.amount << ", sigma " << k.sigma
                               << ", threshold " << k.threshold << ", limit " << k.limit << ", " << threads
                               << " threads";
        }
      }
  set_thread_count(0);
  set_band_work_floor(65536);
}

}  // namespace
}  // namespace cvl::imaging
