#include "imaging/geometry/polygon_warp.h"

#include <cmath>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/geometry/inverse_map.h"

namespace cvl::imaging {

bool Projective::fit(const Quad& q) {
  const double x0 = q[0].x, y0 = q[0].y, x1 = q[1].x, y1 = q[1].y;
  const double x2 = q[2].x, y2 = q[2].y, x3 = q[3].x, y3 = q[3].y;
  const double sx = x0 - x1 + x2 - x3, sy = y0 - y1 + y2 - y3;
  double g = 0, h = 0;
  if (sx != 0 || sy != 0) {
    const double dx1 = x1 - x2, dx2 = x3 - x2, dy1 = y1 - y2, dy2 = y3 - y2;
    const double den = dx1 * dy2 - dx2 * dy1;
    if (den == 0 || !std::isfinite(den)) return false;
    g = (sx * dy2 - dx2 * sy) / den;
    h = (dx1 * sy - sx * dy1) / den;
  }
  const double m[9] = {x1 - x0 + g * x1, x3 - x0 + h * x3, x0, y1 - y0 + g * y1, y3 - y0 + h * y3, y0, g, h, 1};
  // The inverse by the adjugate.
  const double a = m[4] * m[8] - m[5] * m[7], b = m[5] * m[6] - m[3] * m[8], c = m[3] * m[7] - m[4] * m[6];
  const double det = m[0] * a + m[1] * b + m[2] * c;
  // Relative to the corners' spread, so that a tiny but sound quad still fits.
  const double span = std::fabs(m[0]) + std::fabs(m[1]) + std::fabs(m[3]) + std::fabs(m[4]);
  if (!std::isfinite(det) || std::fabs(det) <= 1e-12 * span * span) return false;
  const double inv[9] = {a, m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                         b, m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                         c, m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
  for (int i = 0; i < 9; ++i) m_[i] = m[i], inv_[i] = inv[i] / det;
  return true;
}

Point Projective::forward(double u, double v) const {
  const double w = m_[6] * u + m_[7] * v + m_[8];
  return {(m_[0] * u + m_[1] * v + m_[2]) / w, (m_[3] * u + m_[4] * v + m_[5]) / w};
}

bool Projective::inverse(double x, double y, double* u, double* v) const {
  const double w = inv_[6] * x + inv_[7] * y + inv_[8];
  if (!(w > 0)) return false;
  *u = (inv_[0] * x + inv_[1] * y + inv_[2]) / w;
  *v = (inv_[3] * x + inv_[4] * y + inv_[5]) / w;
  return true;
}

namespace detail {

bool warp_matrices(const Quad& from, const Quad& to, double square[9], double source[9]) {
  Projective src_fit, target;
  if (!src_fit.fit(from) || !target.fit(to)) return false;
  // dst -> square (for the inside test) and dst -> src in one matrix, so a pixel
  // costs two reciprocals; homogeneous coordinates are linear along a row.
  const double* t = target.inverse_matrix();
  const double* m = src_fit.matrix();
  for (int i = 0; i < 9; ++i) square[i] = t[i];
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) source[r * 3 + c] = m[r * 3] * t[c] + m[r * 3 + 1] * t[3 + c] + m[r * 3 + 2] * t[6 + c];
  return true;
}

}  // namespace detail

namespace {

// One row's terms of the two maps; a pixel adds its x times the matrices' first column.
struct WarpRow {
  double tu, tv, tw, px, py, pw;
  WarpRow(const double* t, const double* p, int32_t y)
      : tu(t[1] * y + t[2]),
        tv(t[4] * y + t[5]),
        tw(t[7] * y + t[8]),
        px(p[1] * y + p[2]),
        py(p[4] * y + p[5]),
        pw(p[7] * y + p[8]) {}
};

// One pixel, exactly as the plain form maps it.
inline bool warp_point(const double* t, const double* p, const WarpRow& r, double x, float* sx, float* sy) {
  const double w = r.tw + t[6] * x;
  if (!(w > 0)) return false;
  const double rw = 1 / w, u = (r.tu + t[0] * x) * rw, v = (r.tv + t[3] * x) * rw;
  constexpr double kSlack = detail::kEdgeSlack;
  if (u < -kSlack || v < -kSlack || u > 1 + kSlack || v > 1 + kSlack) return false;
  const double rs = 1 / (r.pw + p[6] * x);
  *sx = static_cast<float>((r.px + p[0] * x) * rs);
  *sy = static_cast<float>((r.py + p[3] * x) * rs);
  return true;
}

// A run of pixels of one row. Each lane does the plain form's operations in its
// order (IEEE arithmetic gives the same bits in a vector lane as in a scalar one),
// with the branches turned into masks: a pixel behind the horizon or outside the
// square still has its point worked out, and then dropped.
void warp_run(const double* t, const double* p, int32_t y, int32_t x0, int32_t n, float* sx, float* sy, uint8_t* ok) {
  const WarpRow r(t, p, y);
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128d t0 = _mm_set1_pd(t[0]), t3 = _mm_set1_pd(t[3]), t6 = _mm_set1_pd(t[6]);
  const __m128d p0 = _mm_set1_pd(p[0]), p3 = _mm_set1_pd(p[3]), p6 = _mm_set1_pd(p[6]);
  const __m128d tu = _mm_set1_pd(r.tu), tv = _mm_set1_pd(r.tv), tw = _mm_set1_pd(r.tw);
  const __m128d px = _mm_set1_pd(r.px), py = _mm_set1_pd(r.py), pw = _mm_set1_pd(r.pw);
  const __m128d one = _mm_set1_pd(1), zero = _mm_setzero_pd();
  const __m128d low = _mm_set1_pd(-detail::kEdgeSlack), high = _mm_set1_pd(1 + detail::kEdgeSlack);
  const __m128d two = _mm_set1_pd(2);
  __m128d xs = _mm_set_pd(double(x0) + 1, double(x0));
  // A parallelogram (or a row where both maps' w is exactly 1) divides by 1, which
  // changes nothing: the divisions are left out there.
  auto pair = [&](auto affine, __m128d x, __m128* fx, __m128* fy) {
    if constexpr (decltype(affine)::value) {
      const __m128d u = _mm_add_pd(tu, _mm_mul_pd(t0, x)), v = _mm_add_pd(tv, _mm_mul_pd(t3, x));
      const __m128d out = _mm_or_pd(_mm_or_pd(_mm_cmplt_pd(u, low), _mm_cmplt_pd(v, low)),
                                    _mm_or_pd(_mm_cmpgt_pd(u, high), _mm_cmpgt_pd(v, high)));
      *fx = _mm_cvtpd_ps(_mm_add_pd(px, _mm_mul_pd(p0, x)));
      *fy = _mm_cvtpd_ps(_mm_add_pd(py, _mm_mul_pd(p3, x)));
      return ~_mm_movemask_pd(out) & 3;
    } else {
      const __m128d w = _mm_add_pd(tw, _mm_mul_pd(t6, x));
      const __m128d rw = _mm_div_pd(one, w);
      const __m128d u = _mm_mul_pd(_mm_add_pd(tu, _mm_mul_pd(t0, x)), rw);
      const __m128d v = _mm_mul_pd(_mm_add_pd(tv, _mm_mul_pd(t3, x)), rw);
      const __m128d out = _mm_or_pd(_mm_or_pd(_mm_cmplt_pd(u, low), _mm_cmplt_pd(v, low)),
                                    _mm_or_pd(_mm_cmpgt_pd(u, high), _mm_cmpgt_pd(v, high)));
      const __m128d keep = _mm_andnot_pd(out, _mm_cmpgt_pd(w, zero));
      const __m128d rs = _mm_div_pd(one, _mm_add_pd(pw, _mm_mul_pd(p6, x)));
      *fx = _mm_cvtpd_ps(_mm_mul_pd(_mm_add_pd(px, _mm_mul_pd(p0, x)), rs));
      *fy = _mm_cvtpd_ps(_mm_mul_pd(_mm_add_pd(py, _mm_mul_pd(p3, x)), rs));
      return _mm_movemask_pd(keep);
    }
  };
  auto runs = [&](auto affine) {
    for (; i + 4 <= n; i += 4) {
      __m128 ax, ay, bx, by;
      const int ka = pair(affine, xs, &ax, &ay);
      xs = _mm_add_pd(xs, two);
      const int kb = pair(affine, xs, &bx, &by);
      xs = _mm_add_pd(xs, two);
      _mm_storeu_ps(sx + i, _mm_movelh_ps(ax, bx));
      _mm_storeu_ps(sy + i, _mm_movelh_ps(ay, by));
      const int keep = ka | kb << 2;
      for (int k = 0; k < 4; ++k) ok[i + k] = static_cast<uint8_t>(keep >> k & 1);
    }
  };
  if (r.tw == 1 && t[6] == 0 && r.pw == 1 && p[6] == 0) runs(std::true_type{});
  else runs(std::false_type{});
#endif
  for (; i < n; ++i) ok[i] = warp_point(t, p, r, double(x0 + i), &sx[i], &sy[i]);
}

}  // namespace

bool polygon_warp(const ImageView& src, const ImageView& dst, const Quad& from, const Quad& to, const Colour& fill) {
  double t[9], p[9];
  if (!detail::warp_matrices(from, to, t, p)) return false;
  const int32_t width = dst.width;
  return inverse_map_rows<Sampling::Bilinear>(
      src, dst, fill, [&](int32_t y, float* sx, float* sy, uint8_t* ok) { warp_run(t, p, y, 0, width, sx, sy, ok); });
}

}  // namespace cvl::imaging
