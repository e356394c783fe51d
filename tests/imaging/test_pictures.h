// Small packed pictures for the imaging tests.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image_view.h"
#include "imaging/lcg15.h"

namespace cvl::imaging::test {

struct Picture {
  std::vector<uint8_t> px;
  int32_t w = 0, h = 0, ch = 3;
  ImageView view() { return {px.data(), w, h, ch, w * ch}; }
  uint8_t* at(int x, int y) { return &px[(size_t(y) * w + x) * ch]; }
  const uint8_t* at(int x, int y) const { return &px[(size_t(y) * w + x) * ch]; }
};

inline Picture flat(int32_t w, int32_t h, int32_t ch, uint8_t v) { return {std::vector<uint8_t>(size_t(w) * h * ch, v), w, h, ch}; }

// Random bytes: anything moved or mixed shows.
inline Picture noise(int32_t w, int32_t h, int32_t ch, uint32_t seed = 5) {
  Picture p = flat(w, h, ch, 0);
  Lcg15 rng(seed);
  for (uint8_t& v : p.px) v = uint8_t(rng.next());
  return p;
}

}  // namespace cvl::imaging::test
