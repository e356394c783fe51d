#include "imaging/geometry/polygon_warp.h"

#include <cmath>

#include "imaging/geometry/inverse_map.h"

namespace cvl::imaging {
namespace {

// Square coordinates a hair outside 0..1 still count as inside, so that the
// quadrilateral's own edge pixels are not lost to rounding.
constexpr double kEdgeSlack = 1e-9;

}  // namespace

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
  const double inv[9] = {a,
                         m[2] * m[7] - m[1] * m[8],
                         m[1] * m[5] - m[2] * m[4],
                         b,
                         m[0] * m[8] - m[2] * m[6],
                         m[2] * m[3] - m[0] * m[5],
                         c,
                         m[1] * m[6] - m[0] * m[7],
                         m[0] * m[4] - m[1] * m[3]};
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

bool polygon_warp(const ImageView& src, const ImageView& dst, const Quad& from, const Quad& to, const Colour& fill) {
  Projective source, target;
  if (!source.fit(from) || !target.fit(to)) return false;
  // dst -> square (for the inside test) and dst -> src in one matrix, so a pixel
  // costs two reciprocals; homogeneous coordinates are linear along a row.
  const double* t = target.inverse_matrix();
  double p[9];
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      p[r * 3 + c] = source.matrix()[r * 3] * t[c] + source.matrix()[r * 3 + 1] * t[3 + c] +
                     source.matrix()[r * 3 + 2] * t[6 + c];
  return inverse_map<Sampling::Bilinear>(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    // The row's terms are cheap next to the divisions; working them out at every pixel
    // keeps the map free of state, so that rows can be mapped on several threads.
    const double tu = t[1] * y + t[2], tv = t[4] * y + t[5], tw = t[7] * y + t[8];
    const double px = p[1] * y + p[2], py = p[4] * y + p[5], pw = p[7] * y + p[8];
    const double w = tw + t[6] * x;
    if (!(w > 0)) return false;  // behind the quad's horizon
    const double rw = 1 / w, u = (tu + t[0] * x) * rw, v = (tv + t[3] * x) * rw;
    if (u < -kEdgeSlack || v < -kEdgeSlack || u > 1 + kEdgeSlack || v > 1 + kEdgeSlack) return false;
    const double rs = 1 / (pw + p[6] * x);
    sx = static_cast<float>((px + p[0] * x) * rs);
    sy = static_cast<float>((py + p[3] * x) * rs);
    return true;
  });
}

}  // namespace cvl::imaging
