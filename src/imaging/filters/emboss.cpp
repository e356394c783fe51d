#include "imaging/filters/emboss.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/filters/sobel.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

using emboss_detail::Light;

// The Sobel gradients of row y, the border columns through sobel_at and the
// others without its clamps (rows above and below are clamped once a row).
void row_gradients(const uint8_t* plane, int32_t stride, int32_t w, int32_t h, int32_t y, int32_t* gx, int32_t* gy) {
  const uint8_t* up = plane + static_cast<ptrdiff_t>(y > 0 ? y - 1 : 0) * stride;
  const uint8_t* mid = plane + static_cast<ptrdiff_t>(y) * stride;
  const uint8_t* down = plane + static_cast<ptrdiff_t>(y + 1 < h ? y + 1 : y) * stride;
  for (int32_t x = 1; x + 1 < w; ++x) {
    gx[x] = (up[x + 1] + 2 * mid[x + 1] + down[x + 1]) - (up[x - 1] + 2 * mid[x - 1] + down[x - 1]);
    gy[x] = (down[x - 1] + 2 * down[x] + down[x + 1]) - (up[x - 1] + 2 * up[x] + up[x + 1]);
  }
  sobel_at(plane, stride, w, h, 0, y, gx[0], gy[0]);
  if (w > 1) sobel_at(plane, stride, w, h, w - 1, y, gx[w - 1], gy[w - 1]);
}

// A pixel's light in 0..256 from its gradients: the same float steps, in the same
// order, as the plain twin.
inline int32_t light_of(const Light& l, int32_t gx, int32_t gy) {
  float shade = l.z;
  if (gx | gy) {
    const float nx = float(-gx), ny = float(gy);
    shade = (nx * l.x + ny * l.y + l.nz * l.z) / std::sqrt(nx * nx + ny * ny + l.nz * l.nz);
  }
  return static_cast<int32_t>(std::clamp(shade, 0.0f, 1.0f) * 256 + 0.5f);
}

// light_of over a row. Four lanes at a time where floats are worked in their own
// width (not in the wider x87 registers): correctly rounded products, sums,
// square roots and quotients give the scalar steps' bits lane by lane, and the
// clamp by max and min matches std::clamp on the numbers a shade can be.
void row_lights(const Light& l, const int32_t* gx, const int32_t* gy, int32_t w, int32_t* k) {
  int32_t x = 0;
#if defined(__SSE2__) && defined(__FLT_EVAL_METHOD__) && __FLT_EVAL_METHOD__ == 0
  const __m128 lx = _mm_set1_ps(l.x), ly = _mm_set1_ps(l.y), lz = _mm_set1_ps(l.z);
  const __m128 nzlz = _mm_set1_ps(l.nz * l.z), nznz = _mm_set1_ps(l.nz * l.nz);
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), scale = _mm_set1_ps(256.0f), half = _mm_set1_ps(0.5f);
  for (; x + 4 <= w; x += 4) {
    const __m128i ix = _mm_loadu_si128(reinterpret_cast<const __m128i*>(gx + x));
    const __m128i iy = _mm_loadu_si128(reinterpret_cast<const __m128i*>(gy + x));
    const __m128 nx = _mm_cvtepi32_ps(_mm_sub_epi32(_mm_setzero_si128(), ix)), ny = _mm_cvtepi32_ps(iy);
    const __m128 num = _mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, lx), _mm_mul_ps(ny, ly)), nzlz);
    const __m128 len = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, nx), _mm_mul_ps(ny, ny)), nznz));
    const __m128 flat = _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_or_si128(ix, iy), _mm_setzero_si128()));
    __m128 shade = _mm_or_ps(_mm_and_ps(flat, lz), _mm_andnot_ps(flat, _mm_div_ps(num, len)));
    shade = _mm_min_ps(_mm_max_ps(shade, zero), one);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(k + x), _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(shade, scale), half)));
  }
#endif
  for (; x < w; ++x) k[x] = light_of(l, gx[x], gy[x]);
}

template <int32_t Channels>
void shade_row(const uint8_t* s, uint8_t* d, const int32_t* k, int32_t w) {
  for (int32_t x = 0; x < w; ++x, s += Channels, d += Channels) {
    const int32_t kx = k[x];
    d[0] = static_cast<uint8_t>((s[0] * kx + 128) >> 8);
    d[1] = static_cast<uint8_t>((s[1] * kx + 128) >> 8);
    d[2] = static_cast<uint8_t>((s[2] * kx + 128) >> 8);
    if constexpr (Channels == 4) d[3] = s[3];
  }
}

}  // namespace

// Rows go in bands; each row's gradients, then its lights, then its colours, so
// the square roots and quotients run four at a time. A pixel's colour depends
// only on its own source pixel, so src and dst may still be the same image.
bool emboss(const uint8_t* height, int32_t height_stride, const ImageView& src, const ImageView& dst, double azimuth,
            double elevation, int32_t depth) {
  if (!emboss_detail::views_fit(height, height_stride, src, dst, azimuth, elevation)) return false;
  const Light light(azimuth, elevation, depth);
  const int32_t w = src.width, h = src.height, ch = src.channels;
  for_each_band(h, int64_t(w) * 8, [&](int32_t first, int32_t end) {
    std::vector<int32_t> gx(static_cast<size_t>(w), 0), gy(gx), k(gx);
    for (int32_t y = first; y < end; ++y) {
      if (depth > 0) row_gradients(height, height_stride, w, h, y, gx.data(), gy.data());
      row_lights(light, gx.data(), gy.data(), w, k.data());
      if (ch == 4) shade_row<4>(src.row(y), dst.row(y), k.data(), w);
      else if (ch == 3) shade_row<3>(src.row(y), dst.row(y), k.data(), w);
      else {
        const uint8_t* s = src.row(y);
        uint8_t* d = dst.row(y);
        for (int32_t x = 0; x < w; ++x, s += ch, d += ch)
          for (int32_t c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * k[size_t(x)] + 128) >> 8);
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging
