// The polygon warp: a picture carried from one quadrilateral onto another by the
// projective map between them, so straight lines stay straight.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

struct Point {
  double x = 0, y = 0;
};
// Corners in order round the quadrilateral: top-left, top-right, bottom-right,
// bottom-left for an upright one. Pixel-centre coordinates.
using Quad = std::array<Point, 4>;

// The projective map of the unit square onto a quadrilateral, and back.
class Projective {
 public:
  // False when the quadrilateral is degenerate (three corners on a line, or
  // corners that meet), which has no map.
  bool fit(const Quad& quad);
  // The point of the quadrilateral at square coordinates (u, v).
  Point forward(double u, double v) const;
  // Square coordinates of a point; false where the map folds over (behind the
  // horizon of the quadrilateral's plane).
  bool inverse(double x, double y, double* u, double* v) const;
  // Row-major 3 x 3 matrices of the map and of its inverse, on homogeneous points.
  const double* matrix() const { return m_; }
  const double* inverse_matrix() const { return inv_; }

 private:
  double m_[9] = {};    // square -> quad, row major
  double inv_[9] = {};  // quad -> square
};

// dst inside `to` shows src inside `from`, sampled bilinearly (taps off src take
// the fill); dst outside `to` takes the fill colour. RGBA32 views that do not
// overlap. False when a quadrilateral is degenerate or a view is unusable.
bool polygon_warp(const ImageView& src, const ImageView& dst, const Quad& from, const Quad& to, const Colour& fill);
// The plain twin of polygon_warp: every pixel mapped on its own through the plain
// sampler, one thread. Tests hold polygon_warp to its bytes.
bool polygon_warp_reference(const ImageView& src, const ImageView& dst, const Quad& from, const Quad& to,
                            const Colour& fill);

namespace detail {
// dst -> unit square (the inverse of `to`) and dst -> src (`from` after that), the two
// matrices both forms of the warp map through. False when a quadrilateral is degenerate.
bool warp_matrices(const Quad& from, const Quad& to, double square[9], double source[9]);
// Square coordinates a hair outside 0..1 still count as inside, so that the
// quadrilateral's own edge pixels are not lost to rounding.
constexpr double kEdgeSlack = 1e-9;
}  // namespace detail

}  // namespace cvl::imaging
