#include "imaging/filters/path_blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// out(p) = mean of in(A p) and in(B p); A may be the identity (`a_is_identity`),
// read without resampling. `round_up` alternates between passes so the halvings
// do not drift the image's mean.
void two_tap_pass(const ImageView& in, const ImageView& out, double cx, double cy, Similarity A, Similarity B,
                  bool a_is_identity, bool round_up) {
  const int32_t bias = round_up ? 65536 : 65535;
  for_each_band(in.height, int64_t(in.width) * 12, [&](int32_t first, int32_t end) {
#if defined(__SSE2__)
    const __m128i round = _mm_set1_epi32(bias);
    for (int32_t y = first; y < end; ++y) {
      const RowWalk wa(A, cx, cy, y), wb(B, cx, cy, y);
      const uint8_t* own = in.row(y);
      uint8_t* d = out.row(y);
      for (int32_t x = 0; x < in.width; ++x, d += 4) {
        const __m128i u = a_is_identity ? own4(own + x * 4) : sample4(in, wa.qx(x), wa.qy(x));
        store_mean(u, sample4(in, wb.qx(x), wb.qy(x)), round, d);
      }
    }
#else
    for (int32_t y = first; y < end; ++y) two_tap_row(in, out, cx, cy, A, B, a_is_identity, bias, y);
#endif
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
