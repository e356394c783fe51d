// A colour that no pixel of an image has, used to tag the pixels of a region
// so that a later whole-image pass can pick exactly those out again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/pixel_span.h"

namespace cvl {

// Over RGBA32 pixels (alpha ignored): the smallest r | g << 8 | b << 16 that
// does not occur, i.e. blue varies slowest and red fastest, so the first free
// red beside green 0 and blue 0 wins whenever there is one. When every one of
// the 2^24 colours occurs the answer is 256 (which then does occur).
int32_t find_marker_colour(const uint8_t* rgba, size_t pixels);

// The packed colour as channel bytes R, G, B, with alpha 0.
inline imaging::Colour unpack_colour(int32_t packed) {
  const uint32_t c = static_cast<uint32_t>(packed);
  return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16), 0};
}

}  // namespace cvl
