// Hue, saturation and lightness (or value) shifts over a buffer: a colour met again
// is looked up, and runs of pixels go to several threads; every pixel must still be
// its own conversion, which the plain per-pixel loop below gives.
#include "core/colour_adjust.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/colour_models.h"
#include "imaging/parallel_bands.h"

namespace cvl {
namespace {

double clamp_unit(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

template <class To, class From>
std::vector<uint8_t> one_by_one(std::vector<uint8_t> rgba, int32_t hue, int32_t sat, int32_t third, To to, From from) {
  for (size_t i = 0; i < rgba.size(); i += 4) {
    double h = 0, s = 0, l = 0;
    to(rgba[i], rgba[i + 1], rgba[i + 2], h, s, l);
    if (h == kAchromaticHue) {
      h = 0.0, s = 0.0;
    } else {
      h += hue;
      if (h > 360.0) h -= 360.0;
      if (h < 0.0) h += 360.0;
      s = clamp_unit(s + sat / 100.0);
    }
    l = clamp_unit(l + third / 100.0);
    from(h, s, l, rgba[i], rgba[i + 1], rgba[i + 2]);
  }
  return rgba;
}

TEST(ColourAdjust, EveryPixelIsItsOwnConversionWhateverRepeatsAndThreads) {
  // Greys, runs of one colour, colours met again and again, and colours met once.
  std::vector<uint8_t> picture;
  uint32_t state = 99;
  for (int i = 0; i < 50000; ++i) {
    state = state * 214013u + 2531011u;
    const uint8_t v = uint8_t(state >> 16), w = uint8_t(state >> 24);
    const bool once = i % 5 == 0;
    picture.insert(picture.end(), {once ? v : uint8_t(i / 97), once ? w : uint8_t(i % 3 * 80),
                                   once ? uint8_t(v ^ w) : uint8_t(i / 97), uint8_t(i)});
  }
  imaging::set_band_work_floor(1);
  for (int threads : {1, 3}) {
    imaging::set_thread_count(threads);
    for (auto [hue, sat, third] : {std::array{40, 30, -20}, std::array{-170, -100, 100}, std::array{0, 0, 0}}) {
      std::vector<uint8_t> hsl = picture, hsv = picture;
      hsl_adjust_buffer(hsl.data(), 250, 200, hue, sat, third);
      hsv_adjust_buffer(hsv.data(), 250, 200, hue, sat, third);
      EXPECT_EQ(hsl, one_by_one(picture, hue, sat, third, RgbToHsl, HslToRgb)) << hue << " " << threads;
      EXPECT_EQ(hsv, one_by_one(picture, hue, sat, third, RgbToHsv, HsvToRgb)) << hue << " " << threads;
    }
  }
  imaging::set_band_work_floor(0);
  imaging::set_thread_count(0);
}

}  // namespace
}  // namespace cvl
