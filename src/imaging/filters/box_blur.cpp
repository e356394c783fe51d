#include "imaging/filters/box_blur.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/channel_mask.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// Rows [first, end) of one pass from `in` into `out` (which must not share rows).
// Each column keeps the sum of the 2 r + 1 rows around the current one, updated
// by the row entering and the row leaving; the column sums sit r + 1 places in
// from each end of `padded`, whose ends repeat the border columns, so a pixel's
// window sum slides along the row with no clamping. A mean is sum x (1 / area)
// + 0.5 truncated, in doubles, as the plain twin works it.
template <int C>
void box_pass_rows(const ImageView& in, const ImageView& out, int32_t r, double inverse, int32_t first, int32_t end) {
  const int32_t w = in.width, h = in.height, n = w * C;
  std::vector<uint32_t> padded(size_t(w + 2 * r + 1) * C, 0);
  uint32_t* column = padded.data() + size_t(r + 1) * C;
  const auto clamp_y = [h](int32_t y) { return std::clamp(y, 0, h - 1); };
  for (int32_t dy = -r; dy <= r; ++dy) {
    const uint8_t* p = in.row(clamp_y(first + dy));
    for (int32_t i = 0; i < n; ++i) column[i] += p[i];
  }
  for (int32_t y = first; y < end; ++y) {
    if (y > first) {
      const int32_t in_row = clamp_y(y + r), out_row = clamp_y(y - r - 1);
      if (in_row != out_row) {
        const uint8_t *add = in.row(in_row), *sub = in.row(out_row);
        for (int32_t i = 0; i < n; ++i) column[i] += uint32_t(add[i]) - uint32_t(sub[i]);
      }
    }
    for (int32_t j = 0; j <= r; ++j)
      for (int32_t c = 0; c < C; ++c) padded[size_t(j) * C + c] = column[c];
    for (int32_t j = 0; j < r; ++j)
      for (int32_t c = 0; c < C; ++c) column[size_t(w + j) * C + c] = column[size_t(w - 1) * C + c];
    // s(x) = padded[x + 1 .. x + 2 r + 1]; start from s(-1).
    uint8_t* d = out.row(y);
    const uint32_t* p = padded.data();
#if defined(__SSE2__)
    if constexpr (C == 4) {
      __m128i s = _mm_setzero_si128();
      for (int32_t j = 0; j <= 2 * r; ++j)
        s = _mm_add_epi32(s, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + j * 4)));
      const __m128d inv = _mm_set1_pd(inverse), half = _mm_set1_pd(0.5);
      for (int32_t x = 0; x < w; ++x) {
        const __m128i enter = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + size_t(x + 2 * r + 1) * 4));
        const __m128i leave = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + size_t(x) * 4));
        s = _mm_add_epi32(s, _mm_sub_epi32(enter, leave));
        // Sums stay below 2^31, so the signed conversion reads them exactly.
        const __m128i lo = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(s), inv), half));
        const __m128i hi =
            _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(s, 0xEE)), inv), half));
        const __m128i four = _mm_unpacklo_epi64(lo, hi);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(four, four), four);
        const int32_t word = _mm_cvtsi128_si32(bytes);
        std::memcpy(d + size_t(x) * 4, &word, 4);
      }
      continue;
    }
#endif
    uint32_t s[C] = {};
    for (int32_t j = 0; j <= 2 * r; ++j)
      for (int32_t c = 0; c < C; ++c) s[c] += p[size_t(j) * C + c];
    for (int32_t x = 0; x < w; ++x)
      for (int32_t c = 0; c < C; ++c) {
        s[c] += p[size_t(x + 2 * r + 1) * C + c] - p[size_t(x) * C + c];
        d[size_t(x) * C + c] = static_cast<uint8_t>(s[c] * inverse + 0.5);
      }
  }
}

void box_pass(const ImageView& in, const ImageView& out, int32_t radius) {
  const double inverse = 1.0 / (uint32_t(2 * radius + 1) * uint32_t(2 * radius + 1));
  for_each_band(in.height, int64_t(in.width) * 6, [&](int32_t first, int32_t end) {
    switch (in.channels) {
      case 1:
        box_pass_rows<1>(in, out, radius, inverse, first, end);
        break;
      case 3:
        box_pass_rows<3>(in, out, radius, inverse, first, end);
        break;
      default:
        box_pass_rows<4>(in, out, radius, inverse, first, end);
        break;
    }
  });
}

}  // namespace

// The passes go back and forth between dst and one scratch image, ordered so
// that the last lands in dst; only a blur in place first copies its source.
bool box_blur(const ImageView& src, const ImageView& dst, int32_t radius, int32_t passes, uint32_t channel_mask) {
  if (!same_shape(src, dst) || radius < 0 || passes < 0) return false;
  radius = std::min(radius, kMaxBoxRadius);
  if (radius == 0 || passes == 0) {
    copy_view(src, dst);
    return true;
  }
  Image original;
  const ImageView from = unaliased_source(src, dst, original);
  Image scratch;
  ImageView spare{};
  if (passes > 1) {
    scratch =
        Image{std::vector<uint8_t>(size_t(src.width) * src.height * src.channels), src.width, src.height, src.channels};
    spare = scratch.view();
  }
  ImageView in = from;
  for (int32_t p = 0; p < passes; ++p) {
    const ImageView out = (passes - 1 - p) % 2 == 0 ? dst : spare;
    box_pass(in, out, radius);
    in = out;
  }
  restore_unmasked(from, dst, channel_mask);
  return true;
}

}  // namespace cvl::imaging
