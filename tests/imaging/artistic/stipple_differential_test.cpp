// The stipple in bands (each band's generator moved on to its first pixel's
// draw, dots picked without a branch) against its plain twin: the same bytes
// for every ink, density, seed, shape and thread count.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/artistic/stipple.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

TEST(StippleDifferential, BandedDrawsGiveThePlainTwinsBytes) {
  struct Shape {
    int32_t w, h;
  };
  const Shape shapes[] = {{1, 1}, {2, 3}, {3, 2}, {1, 37}, {53, 41}};
  set_band_work_floor(16);
  for (const Shape s : shapes) {
    std::vector<uint8_t> src(size_t(s.w) * s.h * 3);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 37 + i / 7);
    const ImageView sv{src.data(), s.w, s.h, 3, s.w * 3};
    for (StippleInk ink : {StippleInk::Black, StippleInk::Colour, StippleInk::White})
      for (int32_t density : {-5, 0, 1, 50, 77, 500, 1000, 4000})
        for (uint32_t seed : {0u, 1u, 0xFFFFFFFFu, 123456789u}) {
          std::vector<uint8_t> want(src.size(), 9);
          ASSERT_TRUE(stipple_image_reference(sv, {want.data(), s.w, s.h, 3, s.w * 3}, density, ink, seed));
          for (int threads : {1, 2, 3}) {
            set_thread_count(threads);
            std::vector<uint8_t> got(src.size(), 9);
            ASSERT_TRUE(stipple_image(sv, {got.data(), s.w, s.h, 3, s.w * 3}, density, ink, seed));
            ASSERT_EQ(got, want) << s.w << " x " << s.h << ", ink " << int(ink) << ", density " << density << ", seed "
                                 << seed << ", " << threads << " threads";
          }
        }
  }
  set_thread_count(0);
  set_band_work_floor(65536);
}

}  // namespace
}  // namespace cvl::imaging
