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

// Shared loop: convert each pixel to the model, shift hue and saturation
// (greys marked achromatic keep both at 0), move the third coordinate and
// convert back. Alpha bytes are not touched.
template <class ToModel, class FromModel>
void adjust_buffer(uint8_t* rgba, int32_t width, int32_t height, int32_t hue_shift, int32_t saturation, int32_t level,
                   ToModel to_model, FromModel from_model) {
  if (!rgba) return;
  const double ds = saturation / 100.0, dl = level / 100.0;
  const size_t n = pixel_count(width, height);
  for (size_t i = 0; i < n; ++i, rgba += 4) {
    double h = 0, s = 0, l = 0;
    to_model(rgba[0], rgba[1], rgba[2], h, s, l);
    if (h == kAchromaticHue) {
      h = 0.0;
      s = 0.0;
    } else {
      h = shift_hue(h, hue_shift);
      s = clamp_unit(s + ds);
    }
    l = clamp_unit(l + dl);
    from_model(h, s, l, rgba[0], rgba[1], rgba[2]);
  }
}

}  // namespace

// Only the HSV conversion marks greys, so the HSV adjuster keeps them grey
// while the HSL one, seeing hue 0, tints them red when it raises saturation.
void hsv_adjust_buffer(uint8_t* rgba, int32_t width, int32_t height, int32_t hue_shift, int32_t saturation,
                       int32_t value) {
  adjust_buffer(rgba, width, height, hue_shift, saturation, value, RgbToHsv, HsvToRgb);
}

void hsl_adjust_buffer(uint8_t* rgba, int32_t width, int32_t height, int32_t hue_shift, int32_t saturation,
                       int32_t lightness) {
  adjust_buffer(rgba, width, height, hue_shift, saturation, lightness, RgbToHsl, HslToRgb);
}

}  // namespace cvl
