// The Gaussian blur built for wide vectors (where the processor has them), its
// floats turned into bytes sixteen at a time, against the same loops built for
// every x86-64 turning them one at a time: the same bytes for every shape,
// channel count, sigma, channel mask and thread count, in place or not.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/gaussian_blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

std::vector<uint8_t> picture(int32_t w, int32_t h, int32_t ch) {
  std::vector<uint8_t> px(size_t(w) * h * ch);
  for (size_t i = 0; i < px.size(); ++i) {
    uint32_t v = uint32_t(i) * 0x9E3779B1u;
    v ^= v >> 15, v *= 0x2C1B3C6Du, v ^= v >> 13;
    const size_t x = i / size_t(ch) % size_t(w), y = i / (size_t(ch) * size_t(w));
    px[i] = (x / 9 + y / 6) % 3 == 0 ? ((x + y) % 2 ? 255 : 0) : uint8_t(v >> 24);
  }
  return px;
}

TEST(GaussianBlurDifferential, WideBuildGivesThePlainBuildsBytes) {
  struct Shape {
    int32_t w, h;
  };
  // Tiny, a block of rows and a strip of columns with ragged ends, and wide
  // enough for several strips.
  const Shape shapes[] = {{1, 1}, {2, 3}, {3, 2}, {70, 65}, {300, 23}};
  const float sigmas[] = {0.4f, 0.5f, 1.3f, 2.5f, 7.0f, 60.0f};
  set_band_work_floor(64);
  for (const Shape s : shapes)
    for (int32_t ch : {1, 3, 4})
      for (float sigma : sigmas)
        for (uint32_t mask : {15u, 5u}) {
          const std::vector<uint8_t> src = picture(s.w, s.h, ch);
          std::vector<uint8_t> want(src.size(), 7), in = src;
          const ImageView sv{in.data(), s.w, s.h, ch, s.w * ch};
          ASSERT_TRUE(gaussian_blur_reference(sv, {want.data(), s.w, s.h, ch, s.w * ch}, sigma, mask));
          for (int threads : {1, 2, 3}) {
            set_thread_count(threads);
            std::vector<uint8_t> got(src.size(), 7), same = src;
            ASSERT_TRUE(gaussian_blur(sv, {got.data(), s.w, s.h, ch, s.w * ch}, sigma, mask));
            ASSERT_EQ(got, want) << s.w << " x " << s.h << " x " << ch << ", sigma " << sigma << ", mask " << mask
                                 << ", " << threads << " threads";
            const ImageView both{same.data(), s.w, s.h, ch, s.w * ch};
            ASSERT_TRUE(gaussian_blur(both, both, sigma, mask));
            ASSERT_EQ(same, want) << "in place, " << s.w << " x " << s.h << " x " << ch << ", sigma " << sigma;
          }
        }
  set_thread_count(0);
  set_band_work_floor(65536);
}

}  // namespace
}  // namespace cvl::imaging
