#include "imaging/filters/sharpen.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include "imaging/filters/blur.h"
#include "imaging/parallel_bands.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cvl::imaging {
namespace {

// With |amount| up to 128 a difference times the amount fits 16 bits, so the
// detail is worked out eight bytes at a time instead of looked up: the size of
// (diff x amount) plus 5, divided by 10 (a multiply-high by ceil(2^19 / 10),
// exact for every 16-bit number), given its sign back and held to +-512, as the
// table's entries are made.
constexpr int32_t kMaxShortAmount = 128;

// Packed RGB bytes: d = clamp(s + detail(s - p)), n bytes.
void sharpen_bytes(const uint8_t* s, const uint8_t* p, uint8_t* d, int32_t n, int32_t amount, const int32_t* gain) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), times = _mm_set1_epi16(int16_t(amount)), five = _mm_set1_epi16(5);
  const __m128i tenth = _mm_set1_epi16(int16_t(52429)), top = _mm_set1_epi16(512), bottom = _mm_set1_epi16(-512);
  const auto half = [&](__m128i v, __m128i blur) {
    const __m128i t = _mm_mullo_epi16(_mm_sub_epi16(v, blur), times), sign = _mm_srai_epi16(t, 15);
    const __m128i size = _mm_sub_epi16(_mm_xor_si128(t, sign), sign);
    const __m128i q = _mm_srli_epi16(_mm_mulhi_epu16(_mm_add_epi16(size, five), tenth), 3);
    const __m128i change = _mm_min_epi16(_mm_max_epi16(_mm_sub_epi16(_mm_xor_si128(q, sign), sign), bottom), top);
    return _mm_add_epi16(v, change);
  };
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i lo = half(_mm_unpacklo_epi8(v, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(v, zero), _mm_unpackhi_epi8(b, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < n; ++i) d[i] = static_cast<uint8_t>(std::clamp(s[i] + gain[s[i] - p[i]], 0, 255));
}

}  // namespace

bool sharpen(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size) {
  if (!sharpen_detail::views_fit(src, dst)) return false;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const int32_t radius = sharpen_detail::box_radius(size);
  // The three colour channels packed side by side, blurred together.
  const int32_t n = w * 3;
  std::vector<uint8_t> rgb(static_cast<size_t>(n) * static_cast<size_t>(h));
  // The detail a pixel gains for each difference from its blur, -255..255:
  // (v - blurred) * amount / 10 rounded half away from zero, held to a range
  // that still saturates the result either way.
  std::array<int32_t, 511> detail{};
  for (int32_t diff = -255; diff <= 255; ++diff) {
    const int64_t tenths = int64_t(diff) * static_cast<int64_t>(amount);
    detail[size_t(diff + 255)] = int32_t(std::clamp<int64_t>((tenths >= 0 ? tenths + 5 : tenths - 5) / 10, -512, 512));
  }
  // Every loop here writes rows of its own, so each runs in bands.
  for_each_band(h, w, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = src.row(y);
      uint8_t* p = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(n);
      if (ch == 3) std::memcpy(p, s, size_t(n));
      else
        for (int32_t x = 0; x < w; ++x, s += ch, p += 3) p[0] = s[0], p[1] = s[1], p[2] = s[2];
    }
  });
  blur_interleaved8(rgb.data(), w, h, n, 3, radius, 3);
  const bool small_amount = amount >= -kMaxShortAmount && amount <= kMaxShortAmount;
  for_each_band(h, w * 3, [&](int32_t first, int32_t end) {
    const int32_t* gain = detail.data() + 255;
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = src.row(y);
      const uint8_t* p = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(n);
      uint8_t* d = dst.row(y);
      if (ch == 3 && small_amount) {
        sharpen_bytes(s, p, d, n, amount, gain);
        continue;
      }
      for (int32_t x = 0; x < w; ++x, s += ch, d += ch, p += 3) {
        for (int32_t c = 0; c < 3; ++c) {
          const int32_t v = s[c];
          d[c] = static_cast<uint8_t>(std::clamp(v + gain[v - p[c]], 0, 255));
        }
        if (ch == 4) d[3] = s[3];
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging
