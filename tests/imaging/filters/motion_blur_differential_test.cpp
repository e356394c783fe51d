// The motion blur's lines in bands, their windows read off running totals,
// against its plain twin (one line and one sample at a time): the same bytes for
// every angle, length, lead, shape, channel count and thread count.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/motion_blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

TEST(MotionBlurDifferential, BandedLinesGiveThePlainTwinsBytes) {
  struct Streak {
    double length, angle, lead;
  };
  // Level, steep, diagonal, backwards, trailing and leading, longer than the
  // picture, shorter than a pixel, and the host's middle sliders.
  const Streak streaks[] = {{50, 0, 0.5},    {15, 0, 0.5},  {25, 30, 0},   {12, 100, 1},   {9, 45, 0.3},
                            {40, -135, 0.7}, {7, 180, 0.5}, {3, 270, 0.2}, {900, 12, 0.5}, {0.6, 10, 0.5},
                            {2, 89.9, 1},    {30, -7, -4},  {30, 200, 9}};
  struct Shape {
    int32_t w, h;
  };
  const Shape shapes[] = {{1, 1}, {2, 3}, {3, 2}, {1, 17}, {19, 1}, {61, 43}};
  set_band_work_floor(16);
  for (const Shape s : shapes)
    for (int32_t ch : {1, 3, 4}) {
      std::vector<uint8_t> src(size_t(s.w) * s.h * ch);
      for (size_t i = 0; i < src.size(); ++i) {
        uint32_t v = uint32_t(i) * 0x9E3779B1u;
        v ^= v >> 15, v *= 0x2C1B3C6Du, v ^= v >> 12;
        src[i] = (i / size_t(ch) / 5) % 3 == 0 ? 255 : uint8_t(v >> 24);
      }
      const ImageView sv{src.data(), s.w, s.h, ch, s.w * ch};
      for (const Streak& k : streaks) {
        std::vector<uint8_t> want(src.size(), 1);
        ASSERT_TRUE(motion_blur_reference(sv, {want.data(), s.w, s.h, ch, s.w * ch}, k.length, k.angle, k.lead));
        for (int threads : {1, 2, 3}) {
          set_thread_count(threads);
          std::vector<uint8_t> got(src.size(), 1);
          ASSERT_TRUE(motion_blur(sv, {got.data(), s.w, s.h, ch, s.w * ch}, k.length, k.angle, k.lead));
          ASSERT_EQ(got, want) << s.w << " x " << s.h << " x " << ch << ", length " << k.length << " at " << k.angle
                               << ", lead " << k.lead << ", " << threads << " threads";
        }
      }
    }
  set_thread_count(0);
  set_band_work_floor(65536);
}

}  // namespace
}  // namespace cvl::imaging
