#include "imaging/geometry/resample_separable.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// Source rows enter as floats: straight values, or for RGBA colour x alpha
// with alpha as it stands, so that filtered colour / filtered alpha is the
// alpha-weighted mean colour.
template <int C, bool Premultiply>
void widen_row(const uint8_t* s, float* d, int32_t width) {
#if defined(__SSE2__)
  if constexpr (Premultiply) {
    const __m128i zero = _mm_setzero_si128();
    const __m128 colour_lanes = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
    const __m128 one = _mm_set1_ps(1.0f);
    for (int32_t x = 0; x < width; ++x, s += 4, d += 4) {
      int32_t bytes;
      std::memcpy(&bytes, s, 4);
      const __m128i wide = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero), zero);
      const __m128 v = _mm_cvtepi32_ps(wide);
      const __m128 a = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
      const __m128 factor = _mm_or_ps(_mm_and_ps(colour_lanes, a), _mm_andnot_ps(colour_lanes, one));
      _mm_storeu_ps(d, _mm_mul_ps(v, factor));
    }
    return;
  }
#endif
  for (int32_t x = 0; x < width; ++x, s += C, d += C) {
    if constexpr (Premultiply) {
      const float a = s[3];
      d[0] = s[0] * a;
      d[1] = s[1] * a;
      d[2] = s[2] * a;
      d[3] = a;
    } else {
      for (int c = 0; c < C; ++c) d[c] = s[c];
    }
  }
}

inline uint8_t to_byte(float v) {
  v = std::clamp(v, 0.0f, 255.0f);
  return static_cast<uint8_t>(v + 0.5f);
}

// Back to bytes, rounded and clamped; premultiplied colour is divided by its
// alpha (a true division: an exact mean, such as a 2 x 2 box of opaque pixels,
// stays exact), and a pixel whose alpha rounds to 0 becomes all zero.
template <int C, bool Premultiply>
void narrow_row(const float* s, uint8_t* d, int32_t width) {
#if defined(__SSE2__)
  if constexpr (Premultiply) {
    const __m128 colour_lanes = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
    const __m128 lo = _mm_setzero_ps(), hi = _mm_set1_ps(255.0f), half = _mm_set1_ps(0.5f);
    for (int32_t x = 0; x < width; ++x, s += 4, d += 4) {
      if (!(s[3] >= 0.5f)) {
        std::memset(d, 0, 4);
        continue;
      }
      const __m128 v = _mm_loadu_ps(s);
      const __m128 q = _mm_div_ps(v, _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3)));
      __m128 out = _mm_or_ps(_mm_and_ps(colour_lanes, q), _mm_andnot_ps(colour_lanes, v));
      out = _mm_add_ps(_mm_min_ps(_mm_max_ps(out, lo), hi), half);
      const __m128i i32 = _mm_cvttps_epi32(out);
      const __m128i i16 = _mm_packs_epi32(i32, i32);
      const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(i16, i16));
      std::memcpy(d, &bytes, 4);
    }
    return;
  }
#endif
  for (int32_t x = 0; x < width; ++x, s += C, d += C) {
    if constexpr (Premultiply) {
      const uint8_t a = to_byte(s[3]);
      if (a == 0) {
        std::memset(d, 0, 4);
        continue;
      }
      d[0] = to_byte(s[0] / s[3]);
      d[1] = to_byte(s[1] / s[3]);
      d[2] = to_byte(s[2] / s[3]);
      d[3] = a;
    } else {
      for (int c = 0; c < C; ++c) d[c] = to_byte(s[c]);
    }
  }
}

// One destination row of the horizontal pass.
template <int C>
void filter_row(const float* in, float* out, const AxisTaps& t, int32_t width) {
  for (int32_t x = 0; x < width; ++x, out += C) {
    const float* w = &t.weights[size_t(x) * size_t(t.stride)];
    const float* p = in + size_t(t.first[size_t(x)]) * C;
    const int32_t n = t.count[size_t(x)];
#if defined(__SSE2__)
    if constexpr (C == 4) {
      // Four accumulators keep the additions of neighbouring taps independent.
      __m128 a0 = _mm_setzero_ps(), a1 = _mm_setzero_ps(), a2 = _mm_setzero_ps(), a3 = _mm_setzero_ps();
      int32_t k = 0;
      for (; k + 4 <= n; k += 4, p += 16) {
        a0 = _mm_add_ps(a0, _mm_mul_ps(_mm_load1_ps(w + k), _mm_loadu_ps(p)));
        a1 = _mm_add_ps(a1, _mm_mul_ps(_mm_load1_ps(w + k + 1), _mm_loadu_ps(p + 4)));
        a2 = _mm_add_ps(a2, _mm_mul_ps(_mm_load1_ps(w + k + 2), _mm_loadu_ps(p + 8)));
        a3 = _mm_add_ps(a3, _mm_mul_ps(_mm_load1_ps(w + k + 3), _mm_loadu_ps(p + 12)));
      }
      for (; k < n; ++k, p += 4) a0 = _mm_add_ps(a0, _mm_mul_ps(_mm_load1_ps(w + k), _mm_loadu_ps(p)));
      a0 = _mm_add_ps(a0, a2);
      a1 = _mm_add_ps(a1, a3);
      _mm_storeu_ps(out, _mm_add_ps(a0, a1));
      continue;
    }
#endif
    float acc[C] = {};
    for (int32_t k = 0; k < n; ++k, p += C)
      for (int c = 0; c < C; ++c) acc[c] += w[k] * p[c];
    for (int c = 0; c < C; ++c) out[c] = acc[c];
  }
}

// out = sum of weights[k] * rows[k], over whole rows of `n` floats.
void combine_rows(const float* const* rows, const float* weights, int32_t taps, float* out, size_t n) {
  int32_t k = 0;
  {
    const float w0 = weights[0];
    const float* r0 = rows[0];
    for (size_t i = 0; i < n; ++i) out[i] = w0 * r0[i];
    k = 1;
  }
  // Four rows per sweep: fewer trips through the accumulator row.
  for (; k + 4 <= taps; k += 4) {
    const float w0 = weights[k], w1 = weights[k + 1], w2 = weights[k + 2], w3 = weights[k + 3];
    const float *r0 = rows[k], *r1 = rows[k + 1], *r2 = rows[k + 2], *r3 = rows[k + 3];
    for (size_t i = 0; i < n; ++i) out[i] += (w0 * r0[i] + w1 * r1[i]) + (w2 * r2[i] + w3 * r3[i]);
  }
  for (; k < taps; ++k) {
    const float w = weights[k];
    const float* r = rows[k];
    for (size_t i = 0; i < n; ++i) out[i] += w * r[i];
  }
}

// Horizontally filtered source rows, kept for as long as the vertical window
// needs them. The window only moves down, and it is never taller than the ring.
class RowRing {
 public:
  RowRing(int32_t rows, size_t floats) : index_(size_t(rows), -1), data_(size_t(rows) * floats), floats_(floats) {}

  template <class Fill>
  const float* get(int32_t row, Fill fill) {
    const size_t slot = size_t(row) % index_.size();
    float* p = &data_[slot * floats_];
    if (index_[slot] != row) {
      fill(row, p);
      index_[slot] = row;
    }
    return p;
  }

 private:
  std::vector<int32_t> index_;
  std::vector<float> data_;
  size_t floats_;
};

// Bands of output rows go to several threads, each with its own ring: a source
// row that two bands need is filtered by both, to the same values.
template <int C, bool Premultiply>
void run(const RowSource& src, const ImageView& dst, ResampleMethod method) {
  const AxisTaps xt = axis_taps(method, src.width, dst.width);
  const AxisTaps yt = axis_taps(method, src.height, dst.height);
  const size_t in_floats = size_t(src.width) * C, out_floats = size_t(dst.width) * C;
  const int64_t row_work = int64_t(src.width) * xt.stride * src.height / dst.height + int64_t(dst.width) * yt.stride;
  for_each_band(dst.height, row_work, [&](int32_t band_first, int32_t band_end) {
    std::vector<float> wide(in_floats), acc(out_floats);
    std::vector<uint8_t> scratch(in_floats);
    std::vector<const float*> rows(size_t(yt.stride));
    RowRing ring(yt.stride, out_floats);
    const auto fill = [&](int32_t y, float* out) {
      widen_row<C, Premultiply>(src.row(y, scratch.data()), wide.data(), src.width);
      filter_row<C>(wide.data(), out, xt, dst.width);
    };
    for (int32_t y = band_first; y < band_end; ++y) {
      const int32_t first = yt.first[size_t(y)], n = yt.count[size_t(y)];
      for (int32_t k = 0; k < n; ++k) rows[size_t(k)] = ring.get(first + k, fill);
      combine_rows(rows.data(), &yt.weights[size_t(y) * size_t(yt.stride)], n, acc.data(), out_floats);
      narrow_row<C, Premultiply>(acc.data(), dst.row(y), dst.width);
    }
  });
}

template <int C>
void pick_nearest(const RowSource& src, const ImageView& dst) {
  std::vector<int32_t> xs(size_t(dst.width));
  for (int32_t x = 0; x < dst.width; ++x)
    xs[size_t(x)] = static_cast<int32_t>(std::min<int64_t>((int64_t(2 * x + 1) * src.width) / (2 * int64_t(dst.width)),
                                                          src.width - 1));
  for_each_band(dst.height, dst.width, [&](int32_t first, int32_t end) {
    std::vector<uint8_t> band_scratch(size_t(src.width) * C);
    for (int32_t y = first; y < end; ++y) {
      const int64_t sy =
          std::min<int64_t>((int64_t(2 * y + 1) * src.height) / (2 * int64_t(dst.height)), src.height - 1);
      const uint8_t* s = src.row(static_cast<int32_t>(sy), band_scratch.data());
      uint8_t* d = dst.row(y);
      for (int32_t x = 0; x < dst.width; ++x, d += C) std::memcpy(d, s + size_t(xs[size_t(x)]) * C, C);
    }
  });
}

}  // namespace

bool resample(const RowSource& src, const ImageView& dst, ResampleMethod method) {
  if (!src.row || !dst.data || src.channels != dst.channels || src.width <= 0 || src.height <= 0 || dst.width <= 0 ||
      dst.height <= 0)
    return false;
  if (method == ResampleMethod::Nearest) {
    switch (src.channels) {
      case 1: pick_nearest<1>(src, dst); return true;
      case 2: pick_nearest<2>(src, dst); return true;
      case 3: pick_nearest<3>(src, dst); return true;
      case 4: pick_nearest<4>(src, dst); return true;
      default: return false;
    }
  }
  switch (src.channels) {
    case 1: run<1, false>(src, dst, method); return true;
    case 2: run<2, false>(src, dst, method); return true;
    case 3: run<3, false>(src, dst, method); return true;
    case 4: run<4, true>(src, dst, method); return true;
    default: return false;
  }
}

bool resample(const ImageView& src, const ImageView& dst, ResampleMethod method) {
  if (!src.data) return false;
  const RowSource rows{[&src](int32_t y, uint8_t*) -> const uint8_t* { return src.row(y); }, src.width, src.height,
                       src.channels};
  return resample(rows, dst, method);
}

}  // namespace cvl::imaging
