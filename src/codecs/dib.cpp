#include "codecs/dib.h"

#include <cstring>

namespace cvl::imaging {
namespace {

void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
uint32_t get32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

// A zeroed block with the 40-byte header of an uncompressed bottom-up DIB of
// `bit_count` bits per pixel, rows padded to four bytes; empty when too large.
std::vector<uint8_t> dib_block(const ImageView& src, uint16_t bit_count, uint64_t& stride) {
  stride = (uint64_t(src.width) * (bit_count / 8) + 3) & ~uint64_t(3);
  const uint64_t bits = stride * uint64_t(src.height);
  if (bits > UINT32_MAX - kDibHeaderSize) return {};
  std::vector<uint8_t> dib(kDibHeaderSize + bits, 0);
  uint8_t* h = dib.data();
  put32(h, kDibHeaderSize);
  put32(h + 4, uint32_t(src.width));
  put32(h + 8, uint32_t(src.height));
  put16(h + 12, 1);
  put16(h + 14, bit_count);
  put32(h + 20, uint32_t(bits));
  return dib;
}

}  // namespace

std::vector<uint8_t> make_dib24(const ImageView& src) {
  if (!src.data || src.width <= 0 || src.height <= 0 || src.channels < 3) return {};
  uint64_t stride = 0;
  std::vector<uint8_t> dib = dib_block(src, 24, stride);
  if (dib.empty()) return dib;
  uint8_t* h = dib.data();
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = h + kDibHeaderSize + uint64_t(src.height - 1 - y) * stride;
    for (int32_t x = 0; x < src.width; ++x, s += src.channels, d += 3) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
    }
  }
  return dib;
}

std::vector<uint8_t> make_dib32(const ImageView& src) {
  if (!src.data || src.width <= 0 || src.height <= 0 || src.channels != 4) return {};
  uint64_t stride = 0;
  std::vector<uint8_t> dib = dib_block(src, 32, stride);
  for (int32_t y = 0; y < src.height && !dib.empty(); ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = dib.data() + kDibHeaderSize + uint64_t(src.height - 1 - y) * stride;
    for (int32_t x = 0; x < src.width; ++x, s += 4, d += 4) d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
  }
  return dib;
}

bool read_dib_layout(const uint8_t* dib, size_t size, DibLayout& layout) {
  if (!dib || size < kDibHeaderSize || get32(dib) < kDibHeaderSize) return false;
  layout.width = int32_t(get32(dib + 4));
  layout.height = int32_t(get32(dib + 8));
  layout.bit_count = uint16_t(dib[14] | dib[15] << 8);
  layout.image_size = get32(dib + 20);
  layout.colours_used = get32(dib + 32);
  return true;
}

}  // namespace cvl::imaging
