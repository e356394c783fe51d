#include "core/colour_adjust.h"

#include <cstddef>

#include "core/colour_models.h"

namespace cvl {

namespace {

double clamp_unit(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

// One wrap either way; a hue of exactly 360 stays 360, which the conversions
// back read as 0.
double shift_hue(double h, int32_t shift) {
  h += shift;
  if (h > 360.0) h -= 360.0;
  if (h < 0.0) h += 360.0;
  return h;
}

size_t pixel_count(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  return static_cast<size_t>(width) * static_cast<size_t>(height);
}

}  // namespace

void hsv_adjust_buffer(uint8_t* rgba, int32_t width, int32_t height, int32_t hue_shift, int32_t saturation,
                       int32_t value) {
  if (!rgba) return;
  const double ds = saturation / 100.0, dv = value / 100.0;
  const size_t n = pixel_count(width, height);
  for (size_t i = 0; i < n; ++i, rgba += 4) {
    double h = 0, s = 0, v = 0;
    RgbToHsv(rgba[0], rgba[1], rgba[2], h, s, v);
    if (h == kAchromaticHue) {
      // Greys have no hue to turn and stay grey however the saturation moves.
      h = 0.0;
      s = 0.0;
    } else {
      h = shift_hue(h, hue_shift);
      s = clamp_unit(s + ds);
    }
    v = clamp_unit(v + dv);
    HsvToRgb(h, s, v, rgba[0], rgba[1], rgba[2]);
  }
}

void hsl_adjust_buffer(uint8_t* rgba, int32_t width, int32_t height, int32_t hue_shift, int32_t saturation,
                       int32_t lightness) {
  if (!rgba) return;
  const double ds = saturation / 100.0, dl = lightness / 100.0;
  const size_t n = pixel_count(width, height);
  for (size_t i = 0; i < n; ++i, rgba += 4) {
    double h = 0, s = 0, l = 0;
    RgbToHsl(rgba[0], rgba[1], rgba[2], h, s, l);
    // Greys come out with hue 0, so raising their saturation tints them red
    // (turned by the hue shift).
    h = shift_hue(h, hue_shift);
    s = clamp_unit(s + ds);
    l = clamp_unit(l + dl);
    HslToRgb(h, s, l, rgba[0], rgba[1], rgba[2]);
  }
}

}  // namespace cvl
