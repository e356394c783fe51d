// A private 15-bit generator for the imaging operations that scatter things.
//
// It is the engine's own linear congruential generator (state * 214013 + 2531011,
// result bits 16..30) with its own state, so an operation given the same seed
// draws the same picture and never moves the sequence the brushes draw from.
#pragma once

#include <cstdint>

namespace cvl::imaging {

struct Lcg15 {
  uint32_t state;
  explicit Lcg15(uint32_t seed) : state(seed) {}
  int32_t next() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
  }
  // Uniform in [0, 1).
  float unit() { return static_cast<float>(next()) * (1.0f / 32768.0f); }
};

}  // namespace cvl::imaging
