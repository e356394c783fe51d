#include "imaging/artistic/stipple.h"

#include <algorithm>

#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// The generator's state after `steps` more draws: its step is the affine map
// s -> a s + c (mod 2^32), and n steps compose to another affine map, built by
// squaring, so a band starts where the draws before its first pixel leave it.
uint32_t state_after(uint32_t state, uint64_t steps) {
  uint32_t a = 214013u, c = 2531011u;  // one step
  uint32_t ra = 1, rc = 0;             // the steps taken so far
  for (; steps; steps >>= 1) {
    if (steps & 1) ra = a * ra, rc = a * rc + c;
    c = a * c + c, a = a * a;
  }
  return ra * state + rc;
}

}  // namespace

StippleInk stipple_ink_from_code(int32_t code) {
  return code == 1 ? StippleInk::Colour : code == 2 ? StippleInk::White : StippleInk::Black;
}

// Every pixel takes exactly one draw, in rows, so pixel (x, y) takes draw
// y w + x whether or not it gets a dot: bands of rows start their generators at
// their first pixel's draw and give the one-thread picture. The dot picks the
// pixel's bytes by masks rather than a branch, whose random outcome no
// predictor could learn.
bool stipple_image(const ImageView& src, const ImageView& dst, int32_t density, StippleInk ink, uint32_t seed) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst)) return false;
  density = std::clamp(density, 0, 1000);
  const uint8_t paper = ink == StippleInk::White ? 0 : 255, dot_ink = uint8_t(255 - paper);
  const bool white = ink == StippleInk::White, colour = ink == StippleInk::Colour;
  for_each_band(h, int64_t(w) * 4, [&](int32_t first, int32_t end) {
    Lcg15 rng(state_after(seed, uint64_t(first) * uint64_t(w)));
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* p = src.row(y);
      uint8_t* out = dst.row(y);
      for (int32_t x = 0; x < w; ++x, p += 3, out += 3) {
        const int32_t grey = (p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8;
        const int32_t weight = white ? grey : 255 - grey;
        // chance = weight / 255 * density / 50, against a 15-bit draw.
        const bool dot = int64_t(rng.next()) * 255 * 50 < int64_t(weight) * density * 32768;
        const uint8_t keep = uint8_t(-int32_t(dot)), mine = uint8_t(-int32_t(colour));
        for (int c = 0; c < 3; ++c) {
          const uint8_t inked = uint8_t((p[c] & mine) | (dot_ink & ~mine));
          out[c] = uint8_t((inked & keep) | (paper & ~keep));
        }
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging
