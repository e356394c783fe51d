// The gauzy glow mixed through a table of every byte pair, over the wide blur,
// against its plain twin (floats and the library's rounding a byte at a time,
// over the plain blur): the same bytes for every blend, strength, lift, sigma,
// shape and thread count.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/artistic/gauzy.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

TEST(GauzyDifferential, TableMixGivesThePlainTwinsBytes) {
  struct Settings {
    float sigma, strength, lift;
  };
  const Settings settings[] = {{1.0f, 0.5f, 0.5f}, {0.3f, 1.0f, 0.0f},   {4.5f, 0.35f, 1.0f},  {2.0f, 0.0f, 0.7f},
                               {2.0f, 2.0f, 3.0f}, {2.0f, -1.0f, -2.0f}, {12.0f, 0.77f, 0.13f}};
  struct Shape {
    int32_t w, h;
  };
  const Shape shapes[] = {{1, 1}, {2, 3}, {3, 2}, {90, 71}};
  set_band_work_floor(64);
  for (const Shape s : shapes) {
    std::vector<uint8_t> src(size_t(s.w) * s.h * 3);
    for (size_t i = 0; i < src.size(); ++i) {
      uint32_t v = uint32_t(i) * 0x9E3779B1u;
      v ^= v >> 15, v *= 0x2C1B3C6Du, v ^= v >> 12;
      src[i] = (i / 3 / 7) % 2 ? uint8_t(i * 5) : uint8_t(v >> 24);
    }
    const ImageView sv{src.data(), s.w, s.h, 3, s.w * 3};
    for (GauzyBlend blend : {GauzyBlend::Lighten, GauzyBlend::Screen, GauzyBlend::Darken})
      for (const Settings& k : settings) {
        std::vector<uint8_t> want(src.size(), 1);
        ASSERT_TRUE(gauzy_image_reference(sv, {want.data(), s.w, s.h, 3, s.w * 3}, k.sigma, k.strength, k.lift, blend));
        for (int threads : {1, 2, 3}) {
          set_thread_count(threads);
          std::vector<uint8_t> got(src.size(), 1);
          ASSERT_TRUE(gauzy_image(sv, {got.data(), s.w, s.h, 3, s.w * 3}, k.sigma, k.strength, k.lift, blend));
          ASSERT_EQ(got, want) << s.w << " x " << s.h << ", blend " << int(blend) << ", sigma " << k.sigma
                               << ", strength " << k.strength << ", lift " << k.lift << ", " << threads << " threads";
        }
      }
  }
  set_thread_count(0);
  set_band_work_floor(65536);
}

}  // namespace
}  // namespace cvl::imaging
