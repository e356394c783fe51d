#include "imaging/dib.h"

#include <cstring>

namespace cvl::imaging {
namespace {

void put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24);
}

}  // namespace

std::vector<uint8_t> rgba_to_dib(const ImageView& src) {
  if (!src.data || src.width <= 0 || src.height <= 0 || src.channels != 4) return {};
  const size_t row = size_t(src.width) * 4;
  std::vector<uint8_t> dib(kDibHeaderSize + row * size_t(src.height));
  uint8_t* h = dib.data();
  put32(h, kDibHeaderSize);
  put32(h + 4, uint32_t(src.width));
  put32(h + 8, uint32_t(src.height));  // positive: bottom-up rows
  h[12] = 1;                            // planes
  h[14] = 32;                           // bits per pixel; compression 0 (plain RGB)
  put32(h + 20, uint32_t(row * size_t(src.height)));
  uint8_t* bits = h + kDibHeaderSize;
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.row(src.height - 1 - y);
    uint8_t* d = bits + row * size_t(y);
    // Blue, green, red, and the alpha in the fourth byte, where readers of
    // 32-bit bitmaps look for it.
    for (int32_t x = 0; x < src.width; ++x, s += 4, d += 4) d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
  }
  return dib;
}

}  // namespace cvl::imaging
