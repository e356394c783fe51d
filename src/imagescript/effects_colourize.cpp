// 28: the picture's brightness re-coloured with one hue. Value 3 is the hue, 4 the
// saturation and 5 the lightness, each 0..255; lightness 127 keeps the brightness,
// 0 darkens to black and 255 lightens to white. Alpha is kept.
#include "imagescript/effect_runners.h"
#include "imaging/tone/hsl_hue.h"

namespace cvl::imagescript {
bool run_colourize(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double hue = std::clamp(v(3), 0, 255) / 256.0, sat = std::clamp(v(4), 0, 255) / 255.0;
  const double shift = (std::clamp(v(5, 127), 0, 255) - 127) / 128.0;
  // One colour for each of the 256 brightness levels.
  uint8_t table[256][3];
  for (int g = 0; g < 256; ++g) {
    double l = g / 255.0;
    l = shift >= 0 ? l + (1 - l) * shift : l * (1 + shift);
    const double q = l < 0.5 ? l * (1 + sat) : l + sat - l * sat, p = 2 * l - q;
    table[g][0] = clamp_byte(255 * imaging::hsl_hue_channel(p, q, hue + 1.0 / 3));
    table[g][1] = clamp_byte(255 * imaging::hsl_hue_channel(p, q, hue));
    table[g][2] = clamp_byte(255 * imaging::hsl_hue_channel(p, q, hue - 1.0 / 3));
  }
  uint8_t* p = rgba;
  for (size_t i = 0, n = size_t(w) * h; i < n; ++i, p += 4) {
    const uint8_t* c = table[(77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8];
    p[0] = c[0], p[1] = c[1], p[2] = c[2];
  }
  return true;
}

}  // namespace cvl::imagescript
