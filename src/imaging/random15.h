// The imaging library's random numbers: the same 15-bit linear congruential
// generator as the engine's rand, with its own state, so an operation seeded with
// the same value draws the same picture and never moves the engine's sequence.
#pragma once

#include <cstdint>

namespace cvl::imaging {

struct Random15 {
  uint32_t state;
  explicit Random15(uint32_t seed) : state(seed) {}
  // 0..32767.
  uint32_t next() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
  }
};

}  // namespace cvl::imaging
