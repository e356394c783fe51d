#include "core/pixel_convert.h"

#include <bit>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

void narrow_row4(uint8_t* d, const uint16_t* s, int32_t width) {
  int32_t x = 0;
#if defined(__SSE2__)
  // Four pixels a step: the high byte of every word, packed.
  for (; x + 4 <= width; x += 4, s += 16, d += 16) {
    const __m128i a = _mm_srli_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), 8);
    const __m128i b = _mm_srli_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 8)), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(a, b));
  }
#endif
  for (; x < width; ++x, s += 4, d += 4)
    for (int c = 0; c < 4; ++c) d[c] = static_cast<uint8_t>(s[c] >> 8);
}

void narrow_row3(uint8_t* d, const uint16_t* s, int32_t width) {
  for (int32_t x = 0; x < width; ++x, s += 4, d += 3) {
    uint64_t p;
    std::memcpy(&p, s, 8);
    if constexpr (std::endian::native != std::endian::little) {
      for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(s[c] >> 8);
      continue;
    }
    d[0] = static_cast<uint8_t>(p >> 8);
    d[1] = static_cast<uint8_t>(p >> 24);
    d[2] = static_cast<uint8_t>(p >> 40);
  }
}

}  // namespace

void narrow_rgba64_rect(uint8_t* dst, int32_t dst_stride, const uint16_t* src, int32_t src_stride,
                        int32_t width, int32_t height, int channels) {
  if (!dst || !src || width <= 0 || height <= 0) return;
  for (int32_t y = 0; y < height; ++y) {
    const uint16_t* s = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(src) +
                                                          static_cast<ptrdiff_t>(y) * src_stride);
    uint8_t* d = dst + static_cast<ptrdiff_t>(y) * dst_stride;
    if (channels == 4)
      narrow_row4(d, s, width);
    else
      narrow_row3(d, s, width);
  }
}

void widen_rgba32_row(uint16_t* d, const uint8_t* s, int32_t width, Widen mode) {
  int32_t x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha_bytes = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m128i alpha_words = _mm_set1_epi64x(static_cast<int64_t>(0xFFFF000000000000ull));
  // Four pixels a step: unpacking against zero puts each byte in the high byte of its word.
  for (; x + 4 <= width; x += 4, s += 16, d += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    __m128i lo = _mm_unpacklo_epi8(zero, v);
    __m128i hi = _mm_unpackhi_epi8(zero, v);
    __m128i* out = reinterpret_cast<__m128i*>(d);
    if (mode == Widen::KeepAlpha) {
      lo = _mm_or_si128(_mm_andnot_si128(alpha_words, lo), _mm_and_si128(alpha_words, _mm_loadu_si128(out)));
      hi = _mm_or_si128(_mm_andnot_si128(alpha_words, hi), _mm_and_si128(alpha_words, _mm_loadu_si128(out + 1)));
    } else if (mode == Widen::ClearTransparent) {
      const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(v, alpha_bytes), zero);
      lo = _mm_andnot_si128(_mm_unpacklo_epi32(clear, clear), lo);
      hi = _mm_andnot_si128(_mm_unpackhi_epi32(clear, clear), hi);
    }
    _mm_storeu_si128(out, lo);
    _mm_storeu_si128(out + 1, hi);
  }
#endif
  for (; x < width; ++x, s += 4, d += 4) {
    if (mode == Widen::ClearTransparent && s[3] == 0) {
      d[0] = d[1] = d[2] = d[3] = 0;
      continue;
    }
    for (int c = 0; c < 3; ++c) d[c] = static_cast<uint16_t>(s[c] << 8);
    if (mode != Widen::KeepAlpha) d[3] = static_cast<uint16_t>(s[3] << 8);
  }
}

void widen_rgb24_row(uint16_t* d, const uint8_t* s, int32_t width) {
  for (int32_t x = 0; x < width; ++x, s += 3, d += 4)
    for (int c = 0; c < 3; ++c) d[c] = static_cast<uint16_t>(s[c] << 8);
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
