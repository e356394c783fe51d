// The median filter against its plain twin: the same bytes over tiny and odd
// shapes, every radius up to past the picture, channel masks, flat, noisy and
// banded pictures, at one, two and three threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/filters/median_filter.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

enum class Kind { Noise, Smooth, Flat };

// Noise meets every level; the smooth ramp with a little grain keeps the median
// in one coarse level for long runs and then moves it on; flat has one value.
std::vector<uint8_t> picture(int32_t w, int32_t h, int32_t ch, Kind kind, uint32_t seed) {
  std::vector<uint8_t> px(size_t(w) * h * ch);
  uint32_t s = seed;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int32_t c = 0; c < ch; ++c) {
        s = s * 1103515245u + 12345u;
        const int32_t grain = int32_t(s >> 27) - 16;
        int32_t v = 0;
        if (kind == Kind::Noise) v = int32_t(s >> 23) & 255;
        else if (kind == Kind::Smooth) v = (x * 7 + y * 3 + c * 40) % 256 + grain;
        else v = 77 + c;
        px[(size_t(y) * w + x) * ch + c] = uint8_t(std::clamp(v, 0, 255));
      }
  return px;
}

TEST(MedianFilterDifferential, GivesTheReferenceBytes) {
  struct Shape {
    int32_t w, h;
  };
  const Shape shapes[] = {{1, 1}, {2, 3}, {37, 29}, {300, 9}, {5, 140}};
  set_band_work_floor(1);
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const Shape sh : shapes)
      for (const int32_t ch : {1, 3, 4})
        for (const uint32_t mask : {15u, 0b1010u, 0b0100u})
          for (const Kind kind : {Kind::Noise, Kind::Smooth, Kind::Flat}) {
            const std::vector<uint8_t> src = picture(sh.w, sh.h, ch, kind, uint32_t(sh.w * 31 + ch));
            const ImageView in{const_cast<uint8_t*>(src.data()), sh.w, sh.h, ch, sh.w * ch};
            const int32_t past = std::max(sh.w, sh.h) + 2;
            for (int32_t r = 0; r <= std::min(past, 70); r += r < 12 ? 1 : 7) {
              std::vector<uint8_t> fast(src.size(), 3), plain(src.size(), 3);
              const ImageView a{fast.data(), sh.w, sh.h, ch, sh.w * ch}, b{plain.data(), sh.w, sh.h, ch, sh.w * ch};
              ASSERT_TRUE(median_filter(in, a, r, mask));
              ASSERT_TRUE(median_filter_reference(in, b, r, mask));
              ASSERT_EQ(fast, plain) << sh.w << "x" << sh.h << " ch " << ch << " mask " << mask << " r " << r
                                     << " kind " << int(kind) << " threads " << threads;
            }
          }
  }
  set_thread_count(0);
  set_band_work_floor(65536);
}

// Wider than one strip of columns and taller than a band, with the largest
// radius, and filtered in place.
TEST(MedianFilterDifferential, WideLargeRadiusAndInPlace) {
  set_band_work_floor(1);
  for (const int threads : {1, 3}) {
    set_thread_count(threads);
    for (const int32_t r : {2, 5, 60, 127, 400}) {
      const int32_t w = 700, h = 61, ch = 4;
      std::vector<uint8_t> src = picture(w, h, ch, r % 2 ? Kind::Smooth : Kind::Noise, uint32_t(r));
      std::vector<uint8_t> plain(src.size());
      const ImageView in{src.data(), w, h, ch, w * ch}, b{plain.data(), w, h, ch, w * ch};
      ASSERT_TRUE(median_filter_reference(in, b, r, 0b0111));
      ASSERT_TRUE(median_filter(in, in, r, 0b0111));
      ASSERT_EQ(src, plain) << "r " << r << " threads " << threads;
    }
  }
  set_thread_count(0);
  set_band_work_floor(65536);
}

}  // namespace
}  // namespace cvl::imaging
