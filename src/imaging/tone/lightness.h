// Changing a pixel's HSL lightness while its hue and saturation stay.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace cvl::imaging {

// The HSL lightness (max + min) / 2 of a colour, in 0..255.
inline double hsl_lightness(const uint8_t* rgb) {
  return (std::max({rgb[0], rgb[1], rgb[2]}) + std::min({rgb[0], rgb[1], rgb[2]})) * 0.5;
}

// Moves the colour to lightness `target` (0..255) keeping hue and saturation: the
// chroma a saturation allows shrinks toward black and white, so each channel's
// distance from the lightness is scaled by the ratio of the allowed chromas.
inline void set_hsl_lightness(uint8_t* rgb, double target) {
  const double l = hsl_lightness(rgb);
  const double room = 255 - std::abs(2 * l - 255);
  const double scale = room > 0 ? (255 - std::abs(2 * target - 255)) / room : 0;
  for (int c = 0; c < 3; ++c)
    rgb[c] = static_cast<uint8_t>(std::clamp(std::lround(target + (rgb[c] - l) * scale), 0L, 255L));
}

}  // namespace cvl::imaging
