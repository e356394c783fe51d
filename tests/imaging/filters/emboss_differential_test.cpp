// The banded emboss (gradients, lights four at a time, colours, a row at a time)
// against its plain twin: the same bytes for every relief, light, depth, channel
// count, stride and thread count, and when it writes over its own source.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/emboss.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t mix(uint32_t x, uint32_t y, uint32_t salt) {
  uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ salt;
  h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12;
  return h;
}

// A relief with flats (where no light changes), gentle ramps, cliffs and grain.
std::vector<uint8_t> relief(int32_t w, int32_t h, int32_t stride) {
  std::vector<uint8_t> plane(size_t(stride) * h, 0x5A);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t r = mix(uint32_t(x), uint32_t(y), 7);
      const int zone = (x / 5 + y / 4) % 4;
      plane[size_t(y) * stride + x] = uint8_t(zone == 0   ? 120
                                              : zone == 1 ? x * 9 + y * 3
                                              : zone == 2 ? ((x + y) % 2 ? 255 : 0)
                                                          : r >> 24);
    }
  return plane;
}

std::vector<uint8_t> colours(int32_t w, int32_t h, int32_t ch) {
  std::vector<uint8_t> px(size_t(w) * h * ch);
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(mix(uint32_t(i), 3, 11) >> 20);
  return px;
}

struct Light {
  double azimuth, elevation;
  int32_t depth;
};
const Light kLights[] = {
    {0, kPi / 2, 20}, {kPi, kPi / 4, 20}, {2.7, 0.6, 1},     {-1.1, 1.3, 255}, {5.0, 0.0, 50},
    {0.4, -0.5, 80},  {3.9, 2.5, 100000}, {1.0, kPi / 6, 0}, {1.0, 0.9, -4},   {6.28, 1.57, 127},
};

struct Size {
  int32_t w, h;
};
constexpr Size kSizes[] = {{1, 1}, {2, 3}, {3, 2}, {5, 1}, {1, 6}, {4, 4}, {17, 13}, {131, 67}, {200, 150}};

TEST(EmbossDifferential, BandedEmbossGivesThePlainTwinsBytes) {
  set_band_work_floor(64);
  for (const Size s : kSizes)
    for (int32_t ch : {3, 4})
      for (const Light& l : kLights) {
        const int32_t hstride = s.w + 3;
        const std::vector<uint8_t> height = relief(s.w, s.h, hstride), src = colours(s.w, s.h, ch);
        std::vector<uint8_t> want(src.size(), 1);
        std::vector<uint8_t> in = src;
        const ImageView sv{in.data(), s.w, s.h, ch, s.w * ch};
        ASSERT_TRUE(emboss_reference(height.data(), hstride, sv, {want.data(), s.w, s.h, ch, s.w * ch}, l.azimuth,
                                     l.elevation, l.depth));
        for (int threads : {1, 2, 3}) {
          set_thread_count(threads);
          std::vector<uint8_t> got(src.size(), 1);
          ASSERT_TRUE(emboss(height.data(), hstride, sv, {got.data(), s.w, s.h, ch, s.w * ch}, l.azimuth, l.elevation,
                             l.depth));
          ASSERT_EQ(got, want) << s.w << " x " << s.h << " x " << ch << ", light " << l.azimuth << " " << l.elevation
                               << " depth " << l.depth << ", " << threads << " threads";
          std::vector<uint8_t> same = src;
          const ImageView both{same.data(), s.w, s.h, ch, s.w * ch};
          ASSERT_TRUE(emboss(height.data(), hstride, both, both, l.azimuth, l.elevation, l.depth));
          ASSERT_EQ(same, want) << "in place, " << s.w << " x " << s.h << " x " << ch;
        }
      }
  set_thread_count(0);
  set_band_work_floor(65536);
}

TEST(EmbossDifferential, RefusesWhatItsTwinRefuses) {
  std::vector<uint8_t> height(16, 0), a(64, 0), b(64, 0);
  const ImageView four{a.data(), 4, 4, 4, 16}, other{b.data(), 4, 4, 4, 16}, grey{a.data(), 4, 4, 2, 8};
  const ImageView narrower{b.data(), 3, 4, 4, 16};
  struct Case {
    const uint8_t* height;
    int32_t stride;
    ImageView src, dst;
    double azimuth;
  } cases[] = {{nullptr, 4, four, other, 0},
               {height.data(), 3, four, other, 0},
               {height.data(), 4, grey, grey, 0},
               {height.data(), 4, four, narrower, 0},
               {height.data(), 4, four, other, std::nan("")}};
  for (const Case& c : cases) {
    EXPECT_FALSE(emboss_reference(c.height, c.stride, c.src, c.dst, c.azimuth, 1, 10));
    EXPECT_FALSE(emboss(c.height, c.stride, c.src, c.dst, c.azimuth, 1, 10));
  }
}

}  // namespace
}  // namespace cvl::imaging
