#include "core/pixel_convert.h"

#include <cstddef>

namespace cvl {

namespace {
size_t count(int32_t width, int32_t height) {
  return (width > 0 && height > 0) ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
}
}  // namespace

void rgb_to_rgba(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
  if (!dst || !src) return;
  for (size_t i = 0, n = count(width, height); i < n; ++i, dst += 4, src += 3) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
}

void rgba_to_rgb(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
  if (!dst || !src) return;
  for (size_t i = 0, n = count(width, height); i < n; ++i, dst += 3, src += 4) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
}

void rgb_alpha_to_rgb(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
  if (!dst || !src) return;
  for (size_t i = 0, n = count(width, height); i < n; ++i, dst += 3, src += 4)
    dst[0] = dst[1] = dst[2] = src[3];
}

void rgb_to_rgb_alpha(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
  if (!dst || !src) return;
  for (size_t i = 0, n = count(width, height); i < n; ++i, dst += 4, src += 3)
    dst[3] = static_cast<uint8_t>((src[0] + src[1] + src[2]) / 3);
}

void narrow_rgba64_rect(uint8_t* dst, int32_t dst_stride, const uint16_t* src, int32_t src_stride,
                        int32_t width, int32_t height, int channels) {
  if (!dst || !src || width <= 0 || height <= 0) return;
  for (int32_t y = 0; y < height; ++y) {
    const uint16_t* s = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(src) +
                                                          static_cast<ptrdiff_t>(y) * src_stride);
    uint8_t* d = dst + static_cast<ptrdiff_t>(y) * dst_stride;
    if (channels == 4) {
      for (int32_t x = 0; x < width; ++x, s += 4, d += 4) {
        d[0] = static_cast<uint8_t>(s[0] >> 8);
        d[1] = static_cast<uint8_t>(s[1] >> 8);
        d[2] = static_cast<uint8_t>(s[2] >> 8);
        d[3] = static_cast<uint8_t>(s[3] >> 8);
      }
    } else {
      for (int32_t x = 0; x < width; ++x, s += 4, d += 3) {
        d[0] = static_cast<uint8_t>(s[0] >> 8);
        d[1] = static_cast<uint8_t>(s[1] >> 8);
        d[2] = static_cast<uint8_t>(s[2] >> 8);
      }
    }
  }
}

void clear_rgba64(uint16_t* buffer, int32_t stride, int32_t width, int32_t height, uint16_t r, uint16_t g,
                  uint16_t b, uint16_t a) {
  if (!buffer) return;
  for (int32_t y = 0; y < height; ++y) {
    uint16_t* p = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(buffer) + static_cast<ptrdiff_t>(y) * stride);
    for (int32_t x = 0; x < width; ++x, p += 4) {
      p[0] = r;
      p[1] = g;
      p[2] = b;
      p[3] = a;
    }
  }
}

void clear_rgba32(uint8_t* buffer, int32_t stride, int32_t width, int32_t height, uint8_t r, uint8_t g,
                  uint8_t b, uint8_t a) {
  if (!buffer) return;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = buffer + static_cast<ptrdiff_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x, p += 4) {
      p[0] = r;
      p[1] = g;
      p[2] = b;
      p[3] = a;
    }
  }
}

void invert_alpha_rgba32(uint8_t* buffer, int32_t width, int32_t height) {
  if (!buffer) return;
  for (size_t i = 0, n = count(width, height); i < n; ++i) buffer[i * 4 + 3] = static_cast<uint8_t>(255 - buffer[i * 4 + 3]);
}

}  // namespace cvl
