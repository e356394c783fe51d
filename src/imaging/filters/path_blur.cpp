#include "imaging/filters/path_blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "imaging/cpu_features.h"
#include "imaging/filters/path_blur_support.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

using namespace path_blur_detail;

#if defined(__SSE2__)
// `sample` four channels at once. The first blend (byte times weight, in pairs)
// is a multiply-add of 16-bit lanes; the second's products are whole numbers
// below 2^24, which floats hold exactly.
inline __m128i sample4(const ImageView& in, int64_t qx, int64_t qy) {
  const SamplePoint p = locate(in, qx, qy);
  const int32_t fx = p.fx, fy = p.fy;
  int32_t a, b, c, d;
  std::memcpy(&a, p.r0 + p.x0 * 4, 4), std::memcpy(&b, p.r0 + p.x1 * 4, 4);
  std::memcpy(&c, p.r1 + p.x0 * 4, 4), std::memcpy(&d, p.r1 + p.x1 * 4, 4);
  const __m128i zero = _mm_setzero_si128(), wx = _mm_set1_epi32((fx << 16) | (256 - fx));
  const __m128i top =
      _mm_madd_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(a), _mm_cvtsi32_si128(b)), zero), wx);
  const __m128i bottom =
      _mm_madd_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(c), _mm_cvtsi32_si128(d)), zero), wx);
  return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(top), _mm_set1_ps(float(256 - fy))),
                                     _mm_mul_ps(_mm_cvtepi32_ps(bottom), _mm_set1_ps(float(fy)))));
}

// (u + v + bias) >> 17 per lane, packed to four bytes at d; the sum stays below 2^26.
inline void store_mean(__m128i u, __m128i v, __m128i bias, uint8_t* d) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i sum = _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(u, v), bias), 17);
  const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(sum, zero), zero));
  std::memcpy(d, &word, 4);
}

// A pixel's four bytes as lanes, times 65536.
inline __m128i own4(const uint8_t* p) {
  int32_t word;
  std::memcpy(&word, p, 4);
  const __m128i zero = _mm_setzero_si128();
  return _mm_slli_epi32(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero), 16);
}
#endif

#if defined(__x86_64__) || defined(__i386__)
// Eight pixels of a turned tap at once. The walk's positions are worked out with
// the same double steps as RowWalk (a multiply, then two adds: no fused
// multiply-add, which would round differently), clamped to the image before they
// are truncated, which truncates to the same whole numbers. Each pixel then reads
// its two pixels in the top row and its two in the bottom row as one 8-byte
// load each, from column xl = min(x0, width - 2) and row yl = min(y0, height - 2): on
// the last column (or row) the fraction is 0, so reading one to the left (or
// above) with the whole weight on the second gives the same sum, and no read
// leaves the image. Needs at least 2 x 2 pixels and byte offsets in 31 bits.
struct TurnLanes {
  __m256d x, y, dx, dy, max_x, max_y;
};

__attribute__((target("avx2"))) inline TurnLanes turn_lanes(const RowWalk& w, const ImageView& in) {
  return TurnLanes{_mm256_set1_pd(w.x),
                   _mm256_set1_pd(w.y),
                   _mm256_set1_pd(w.dx),
                   _mm256_set1_pd(w.dy),
                   _mm256_set1_pd(double(int64_t(in.width - 1) << 16)),
                   _mm256_set1_pd(double(int64_t(in.height - 1) << 16))};
}

// Positions i..i+3 of one axis, clamped to [0, top] and truncated to int32.
__attribute__((target("avx2"))) inline __m128i walk4(__m256d start, __m256d step, __m256d top, __m256d i) {
  const __m256d q = _mm256_add_pd(_mm256_add_pd(start, _mm256_mul_pd(step, i)), _mm256_set1_pd(0.5));
  return _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(q, _mm256_setzero_pd()), top));
}

// The bilinear samples (value x 65536, as `sample`) of pixels i..i+7 of the walk,
// as four vectors of two pixels each: (i, i+1), (i+2, i+3), (i+4, i+5), (i+6, i+7).
// Two 8-byte loads into one register. A function of its own with the target of its
// callers: a lambda would not inherit it, and 32-bit builds have no SSE2 otherwise.
__attribute__((target("avx2"))) inline __m128i load_pair(const uint8_t* base, int32_t first, int32_t second) {
  const __m128i one = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + first));
  return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(one), reinterpret_cast<const double*>(base + second)));
}

__attribute__((target("avx2"))) inline void sample8(const ImageView& in, const TurnLanes& t, int32_t i,
                                                    __m256i out[4]) {
  const __m256d i0 = _mm256_add_pd(_mm256_set1_pd(double(i)), _mm256_setr_pd(0, 1, 2, 3));
  const __m256d i1 = _mm256_add_pd(i0, _mm256_set1_pd(4));
  const __m256i qx = _mm256_setr_m128i(walk4(t.x, t.dx, t.max_x, i0), walk4(t.x, t.dx, t.max_x, i1));
  const __m256i qy = _mm256_setr_m128i(walk4(t.y, t.dy, t.max_y, i0), walk4(t.y, t.dy, t.max_y, i1));
  const __m256i xl = _mm256_min_epi32(_mm256_srai_epi32(qx, 16), _mm256_set1_epi32(in.width - 2));
  const __m256i yl = _mm256_min_epi32(_mm256_srai_epi32(qy, 16), _mm256_set1_epi32(in.height - 2));
  // Fractions 0..256: 256 only where the column (row) was moved back by one.
  const __m256i fx = _mm256_srai_epi32(_mm256_sub_epi32(qx, _mm256_slli_epi32(xl, 16)), 8);
  const __m256i fy = _mm256_srai_epi32(_mm256_sub_epi32(qy, _mm256_slli_epi32(yl, 16)), 8);
  const __m256i wx = _mm256_or_si256(_mm256_slli_epi32(fx, 16), _mm256_sub_epi32(_mm256_set1_epi32(256), fx));
  // Offsets in the order (0, 2, 1, 3 | 4, 6, 5, 7), so that the loads of four
  // pixels spread into pixel pairs (0, 1) and (2, 3) below.
  const __m256i offset = _mm256_permutevar8x32_epi32(
      _mm256_add_epi32(_mm256_mullo_epi32(yl, _mm256_set1_epi32(in.stride)), _mm256_slli_epi32(xl, 2)),
      _mm256_setr_epi32(0, 2, 1, 3, 4, 6, 5, 7));
  // Sixteen 8-byte loads: on the processors at hand these beat four gathers.
  alignas(32) int32_t at[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(at), offset);
  const uint8_t *top = in.data, *bottom = in.data + in.stride;
  const __m256i rows[4] = {_mm256_setr_m128i(load_pair(top, at[0], at[1]), load_pair(top, at[2], at[3])),
                           _mm256_setr_m128i(load_pair(bottom, at[0], at[1]), load_pair(bottom, at[2], at[3])),
                           _mm256_setr_m128i(load_pair(top, at[4], at[5]), load_pair(top, at[6], at[7])),
                           _mm256_setr_m128i(load_pair(bottom, at[4], at[5]), load_pair(bottom, at[6], at[7]))};
  // Bytes of the left and the right pixel interleaved as 16-bit pairs, one
  // pixel per 128-bit lane: the first of the two qwords in each lane, or the second.
  const __m256i first = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, 0, -1, 4, -1, 1, -1, 5,
                                         -1, 2, -1, 6, -1, 3, -1, 7, -1);
  const __m256i second = _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1, 8, -1, 12, -1,
                                          9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
  for (int g = 0; g < 4; ++g) {
    const int half = g / 2;  // which loads: pixels 0..3 or 4..7
    const __m256i shuffle = (g % 2) ? second : first;
    const __m256i spread = _mm256_setr_epi32(2 * g, 2 * g, 2 * g, 2 * g, 2 * g + 1, 2 * g + 1, 2 * g + 1, 2 * g + 1);
    const __m256i wxg = _mm256_permutevar8x32_epi32(wx, spread), fyg = _mm256_permutevar8x32_epi32(fy, spread);
    const __m256i t = _mm256_madd_epi16(_mm256_shuffle_epi8(rows[2 * half], shuffle), wxg);
    const __m256i b = _mm256_madd_epi16(_mm256_shuffle_epi8(rows[2 * half + 1], shuffle), wxg);
    // t (256 - fy) + b fy, as t 256 + (b - t) fy: the same whole number.
    out[g] = _mm256_add_epi32(_mm256_slli_epi32(t, 8), _mm256_mullo_epi32(_mm256_sub_epi32(b, t), fyg));
  }
}

// Pixels [x, end) of row y of a two-tap pass, eight at a time; returns where it stopped.
__attribute__((target("avx2"))) int32_t two_tap_run_avx2(const ImageView& in, uint8_t* d, const uint8_t* own,
                                                         const RowWalk& wa, const RowWalk& wb, bool a_is_identity,
                                                         int32_t bias, int32_t x, int32_t end) {
  const TurnLanes ta = turn_lanes(wa, in), tb = turn_lanes(wb, in);
  const __m256i round = _mm256_set1_epi32(bias);
  for (; x + 8 <= end; x += 8) {
    __m256i u[4], v[4];
    if (a_is_identity)
      for (int g = 0; g < 4; ++g) {
        const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(own + (x + 2 * g) * 4));
        u[g] = _mm256_slli_epi32(_mm256_cvtepu8_epi32(two), 16);
      }
    else sample8(in, ta, x, u);
    sample8(in, tb, x, v);
    __m256i s[4];
    for (int g = 0; g < 4; ++g) s[g] = _mm256_srai_epi32(_mm256_add_epi32(_mm256_add_epi32(u[g], v[g]), round), 17);
    // packs interleave the lanes: (0 2 4 6 | 1 3 5 7) pixels, put back in order.
    const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(s[0], s[1]), _mm256_packs_epi32(s[2], s[3]));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x * 4),
                        _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
  }
  return x;
}

bool can_turn_avx2(const ImageView& in) {
  return cpu_has_avx2() && in.width >= 2 && in.height >= 2 &&
         int64_t(in.height - 1) * in.stride + int64_t(in.width) * 4 < (int64_t(1) << 31) &&
         (int64_t(in.width - 1) << 16) < (int64_t(1) << 31) && (int64_t(in.height - 1) << 16) < (int64_t(1) << 31);
}
#endif

// out(p) = mean of in(A p) and in(B p); A may be the identity (`a_is_identity`),
// read without resampling. `round_up` alternates between passes so the halvings
// do not drift the image's mean. A turned tap reads along slanted lines, so the
// rows go in tiles a few dozen rows tall and a few hundred pixels wide: the
// source pixels a tile reads stay in cache while the tile needs them.
void two_tap_pass(const ImageView& in, const ImageView& out, double cx, double cy, Similarity A, Similarity B,
                  bool a_is_identity, bool round_up) {
  constexpr int32_t kTileRows = 32, kTileWidth = 64;
  const int32_t bias = round_up ? 65536 : 65535;
#if defined(__x86_64__) || defined(__i386__)
  const bool wide = can_turn_avx2(in);
#endif
  for_each_band(in.height, int64_t(in.width) * 12, [&](int32_t first, int32_t end) {
    std::vector<RowWalk> wa, wb;
    for (int32_t top = first; top < end; top += kTileRows) {
      const int32_t bottom = std::min(end, top + kTileRows);
      wa.clear(), wb.clear();
      for (int32_t y = top; y < bottom; ++y) wa.emplace_back(A, cx, cy, y), wb.emplace_back(B, cx, cy, y);
      for (int32_t left = 0; left < in.width; left += kTileWidth) {
        const int32_t right = std::min(in.width, left + kTileWidth);
        for (int32_t y = top; y < bottom; ++y) {
          const RowWalk &ra = wa[size_t(y - top)], &rb = wb[size_t(y - top)];
          const uint8_t* own = in.row(y);
          uint8_t* d = out.row(y);
          int32_t x = left;
#if defined(__x86_64__) || defined(__i386__)
          if (wide) x = two_tap_run_avx2(in, d, own, ra, rb, a_is_identity, bias, x, right);
#endif
#if defined(__SSE2__)
          const __m128i round = _mm_set1_epi32(bias);
          for (; x < right; ++x) {
            const __m128i u = a_is_identity ? own4(own + x * 4) : sample4(in, ra.qx(x), ra.qy(x));
            store_mean(u, sample4(in, rb.qx(x), rb.qy(x)), round, d + x * 4);
          }
#else
          for (; x < right; ++x) {
            int32_t u[4], v[4];
            if (a_is_identity)
              for (int k = 0; k < 4; ++k) u[k] = own[x * 4 + k] << 16;
            else sample(in, ra.qx(x), ra.qy(x), u);
            sample(in, rb.qx(x), rb.qy(x), v);
            for (int k = 0; k < 4; ++k) d[x * 4 + k] = static_cast<uint8_t>((int64_t(u[k]) + v[k] + bias) >> 17);
          }
#endif
        }
      }
    }
  });
}

// A tap that scales without turning reads the same columns on every row (its walk
// along a row starts at the same x whatever the row: the turn's sine is exactly
// 0) and one pair of source rows per row (its step down a row is 0). So the
// bilinear weights of a column are worked out once a pass, and a row first blends
// its two source rows vertically, then each output pixel blends two entries of
// that row. The products are whole numbers below 2^24, held exactly in floats,
// so blending down before across gives the same sums as `sample`.
struct ColumnTap {
  int32_t x0 = 0, x1 = 0;       // first float of each of the two pixels read
  float left = 256, right = 0;  // their weights, 256 - fx and fx
};

struct ScaleTap {
  std::vector<ColumnTap> columns;
  int32_t lo = 0, hi = 0;  // the source columns any output pixel reads

  ScaleTap(const ImageView& in, Similarity t, double cx, double cy) : columns(size_t(in.width)) {
    const RowWalk walk(t, cx, cy, 0);
    const int64_t max_x = int64_t(in.width - 1) << 16;
    lo = in.width - 1;
    for (int32_t i = 0; i < in.width; ++i) {
      const int64_t q = std::clamp<int64_t>(walk.qx(i), 0, max_x);
      const int32_t x0 = int32_t(q >> 16), fx = int32_t(q >> 8) & 255, x1 = fx ? x0 + 1 : x0;
      columns[size_t(i)] = ColumnTap{x0 * 4, x1 * 4, float(256 - fx), float(fx)};
      lo = std::min(lo, x0), hi = std::max(hi, x1);
    }
  }

  // Source rows y0 and y1 blended by the row's fraction into `v` (x 256), over
  // the columns the tap reads.
  void blend_down(const ImageView& in, Similarity t, double cx, double cy, int32_t y, float* v) const {
    const int64_t max_y = int64_t(in.height - 1) << 16;
    const int64_t q = std::clamp<int64_t>(RowWalk(t, cx, cy, y).qy(0), 0, max_y);
    const int32_t y0 = int32_t(q >> 16), fy = int32_t(q >> 8) & 255;
    const uint8_t* r0 = in.row(y0);
    const uint8_t* r1 = fy ? in.row(y0 + 1) : r0;
    int32_t i = lo * 4;
    const int32_t end = hi * 4 + 4;
#if defined(__SSE2__)
    // Sixteen bytes at a time; a sum is at most 255 x 256 and fits 16 bits unsigned.
    const __m128i zero = _mm_setzero_si128(), w0 = _mm_set1_epi16(int16_t(256 - fy)), w1 = _mm_set1_epi16(int16_t(fy));
    for (; i + 16 <= end; i += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + i));
      const __m128i lo16 = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), w0),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), w1));
      const __m128i hi16 = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), w0),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), w1));
      _mm_storeu_ps(v + i, _mm_cvtepi32_ps(_mm_unpacklo_epi16(lo16, zero)));
      _mm_storeu_ps(v + i + 4, _mm_cvtepi32_ps(_mm_unpackhi_epi16(lo16, zero)));
      _mm_storeu_ps(v + i + 8, _mm_cvtepi32_ps(_mm_unpacklo_epi16(hi16, zero)));
      _mm_storeu_ps(v + i + 12, _mm_cvtepi32_ps(_mm_unpackhi_epi16(hi16, zero)));
    }
#endif
    for (; i < end; ++i) v[i] = float(r0[i] * (256 - fy) + r1[i] * fy);
  }
};

// two_tap_pass for taps that only scale.
void two_scale_tap_pass(const ImageView& in, const ImageView& out, double cx, double cy, Similarity A, Similarity B,
                        bool a_is_identity, bool round_up) {
  const int32_t bias = round_up ? 65536 : 65535;
  const ScaleTap tb(in, B, cx, cy);
  const ScaleTap ta = a_is_identity ? ScaleTap(ImageView{}, A, cx, cy) : ScaleTap(in, A, cx, cy);
  for_each_band(in.height, int64_t(in.width) * 8, [&](int32_t first, int32_t end) {
    std::vector<float> va(a_is_identity ? 0 : size_t(in.width) * 4), vb(size_t(in.width) * 4);
    for (int32_t y = first; y < end; ++y) {
      tb.blend_down(in, B, cx, cy, y, vb.data());
      if (!a_is_identity) ta.blend_down(in, A, cx, cy, y, va.data());
      const uint8_t* own = in.row(y);
      uint8_t* d = out.row(y);
      const ColumnTap* cb = tb.columns.data();
      const ColumnTap* ca = ta.columns.data();
#if defined(__SSE2__)
      const __m128i round = _mm_set1_epi32(bias);
      for (int32_t x = 0; x < in.width; ++x, d += 4) {
        __m128i u;
        if (a_is_identity) {
          u = own4(own + x * 4);
        } else {
          const ColumnTap& c = ca[x];
          u = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_loadu_ps(va.data() + c.x0), _mm_set1_ps(c.left)),
                                          _mm_mul_ps(_mm_loadu_ps(va.data() + c.x1), _mm_set1_ps(c.right))));
        }
        const ColumnTap& c = cb[x];
        const __m128i v =
            _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_loadu_ps(vb.data() + c.x0), _mm_set1_ps(c.left)),
                                        _mm_mul_ps(_mm_loadu_ps(vb.data() + c.x1), _mm_set1_ps(c.right))));
        store_mean(u, v, round, d);
      }
#else
      for (int32_t x = 0; x < in.width; ++x, d += 4) {
        for (int k = 0; k < 4; ++k) {
          const ColumnTap& c = cb[x];
          const int32_t v = int32_t(vb[size_t(c.x0 + k)] * c.left + vb[size_t(c.x1 + k)] * c.right);
          int32_t u = own[x * 4 + k] << 16;
          if (!a_is_identity) {
            const ColumnTap& t = ca[x];
            u = int32_t(va[size_t(t.x0 + k)] * t.left + va[size_t(t.x1 + k)] * t.right);
          }
          d[k] = static_cast<uint8_t>((int64_t(u) + v + bias) >> 17);
        }
      }
#endif
    }
  });
}

void pass(const ImageView& in, const ImageView& out, double cx, double cy, Similarity A, Similarity B,
          bool a_is_identity, bool round_up) {
  if (B.a == 0 && (a_is_identity || A.a == 0)) two_scale_tap_pass(in, out, cx, cy, A, B, a_is_identity, round_up);
  else two_tap_pass(in, out, cx, cy, A, B, a_is_identity, round_up);
}

}  // namespace

bool spin_blur(const ImageView& src, const ImageView& dst, double cx, double cy, double angle_radians) {
  return spin_blur_with(pass, src, dst, cx, cy, angle_radians);
}

bool zoom_blur(const ImageView& src, const ImageView& dst, double cx, double cy, double spread) {
  return zoom_blur_with(pass, src, dst, cx, cy, spread);
}

}  // namespace cvl::imaging
