#include "core/colour_adjust.h"

#include <algorithm>
#include <cstddef>

#include "core/colour_models.h"
#include "imaging/colour_memo.h"
#include "imaging/parallel_bands.h"

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
  const auto adjust = [&](uint8_t r, uint8_t g, uint8_t b) {
    double h = 0, s = 0, l = 0;
    to_model(r, g, b, h, s, l);
    if (h == kAchromaticHue) {
      h = 0.0;
      s = 0.0;
    } else {
      h = shift_hue(h, hue_shift);
      s = clamp_unit(s + ds);
    }
    l = clamp_unit(l + dl);
    from_model(h, s, l, r, g, b);
    return imaging::pack_rgb(r, g, b);
  };
  // Pixels are independent: runs of them go to several threads, each with its own memo.
  const size_t n = pixel_count(width, height);
  imaging::for_each_run(n, 16, [&](size_t first, size_t end) {
    imaging::ColourMemo memo;
    uint8_t* p = rgba + first * 4;
    for (size_t i = first; i < end; ++i, p += 4) {
      const uint32_t c = memo.get(p[0], p[1], p[2], adjust);
      p[0] = static_cast<uint8_t>(c), p[1] = static_cast<uint8_t>(c >> 8), p[2] = static_cast<uint8_t>(c >> 16);
    }
  });
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
