#include "imaging/geometry/inverse_map.h"
#include "imaging/geometry/polygon_warp.h"

namespace cvl::imaging {

bool polygon_warp_reference(const ImageView& src, const ImageView& dst, const Quad& from, const Quad& to,
                            const Colour& fill) {
  double t[9], p[9];
  if (!detail::warp_matrices(from, to, t, p)) return false;
  return inverse_map_reference<Sampling::Bilinear>(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    const double tu = t[1] * y + t[2], tv = t[4] * y + t[5], tw = t[7] * y + t[8];
    const double px = p[1] * y + p[2], py = p[4] * y + p[5], pw = p[7] * y + p[8];
    const double w = tw + t[6] * x;
    if (!(w > 0)) return false;  // behind the quad's horizon
    const double rw = 1 / w, u = (tu + t[0] * x) * rw, v = (tv + t[3] * x) * rw;
    constexpr double kSlack = detail::kEdgeSlack;
    if (u < -kSlack || v < -kSlack || u > 1 + kSlack || v > 1 + kSlack) return false;
    const double rs = 1 / (pw + p[6] * x);
    sx = static_cast<float>((px + p[0] * x) * rs);
    sy = static_cast<float>((py + p[3] * x) * rs);
    return true;
  });
}

}  // namespace cvl::imaging
