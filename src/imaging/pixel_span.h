// Writing one colour along a run of pixels, for the region and shape fills.
// Images here have 1, 3 or 4 bytes a pixel; a colour gives its channel bytes in
// the image's own order, and only the first `channels` of them are used.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace cvl::imaging {

using Colour = std::array<uint8_t, 4>;

inline bool supported_channels(int32_t channels) { return channels == 1 || channels == 3 || channels == 4; }

// Sets `count` pixels starting at p to the colour.
inline void fill_span(uint8_t* p, int32_t count, int32_t channels, const Colour& c) {
  if (count <= 0) return;
  if (channels == 1) {
    std::memset(p, c[0], static_cast<size_t>(count));
  } else if (channels == 4) {
    uint32_t word;
    std::memcpy(&word, c.data(), 4);
    for (int32_t i = 0; i < count; ++i, p += 4) std::memcpy(p, &word, 4);
  } else {
    for (int32_t i = 0; i < count; ++i, p += 3) {
      p[0] = c[0];
      p[1] = c[1];
      p[2] = c[2];
    }
  }
}

// Moves `count` pixels towards the colour by weight/255 (255 replaces them),
// rounding to the nearest byte.
inline void blend_span(uint8_t* p, int32_t count, int32_t channels, const Colour& c, uint32_t weight) {
  if (weight >= 255) {
    fill_span(p, count, channels, c);
    return;
  }
  if (weight == 0) return;
  const uint32_t keep = 255 - weight;
  for (int32_t i = 0; i < count; ++i, p += channels)
    for (int32_t k = 0; k < channels; ++k) p[k] = static_cast<uint8_t>((c[k] * weight + p[k] * keep + 127) / 255);
}

}  // namespace cvl::imaging
