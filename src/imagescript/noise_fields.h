// Seeded noise fields for the effects: a value lattice for smooth random warps and
// plasma, and gradient noise for the Perlin texture.
#pragma once

#include <cstdint>
#include <vector>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

// Random values in [0, 1) on a wrapping cols x rows lattice, read between the lattice
// points with a smooth (cubic fade) blend. Lattice coordinates are in cells.
class ValueNoise {
 public:
  ValueNoise(Lcg& random, int32_t cols, int32_t rows);
  double at(double gx, double gy) const;

  // The two lattice columns (or rows) about a coordinate and the faded blend between
  // them, as at() finds them; and a lattice row.
  void cell_x(double gx, int32_t& i0, int32_t& i1, double& t) const;
  void cell_y(double gy, int32_t& i0, int32_t& i1, double& t) const;
  const float* lattice_row(int32_t r) const { return &lattice_[size_t(r) * cols_]; }

 private:
  int32_t cols_, rows_;
  std::vector<float> lattice_;
};

// Gradient noise in roughly [-1, 1], 0 on every lattice point; the permutation comes
// from the generator so each seed gives its own field.
class GradientNoise {
 public:
  explicit GradientNoise(Lcg& random);
  double at(double x, double y) const { return at(axis(x), axis(y)); }

  // A coordinate's lattice cell, place in it and faded place; a row or column of
  // pixels shares one, so a whole row can be read with only the corners per pixel.
  struct Axis {
    int32_t cell;
    double offset, faded;
  };
  static Axis axis(double c);
  double at(const Axis& x, const Axis& y) const {
    // Eight gradient directions, picked by the hashed lattice corner.
    static constexpr double kGrad[8][2] = {
        {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {0.7071, 0.7071}, {-0.7071, 0.7071}, {0.7071, -0.7071}, {-0.7071, -0.7071}};
    const int32_t xi = x.cell, yi = y.cell;
    const double dx = x.offset, dy = y.offset;
    auto corner = [&](int32_t cx, int32_t cy, double ox, double oy) {
      const double* g = kGrad[perm_[perm_[xi + cx] + yi + cy] & 7];
      return g[0] * ox + g[1] * oy;
    };
    const double u = x.faded, t = y.faded;
    const double top = corner(0, 0, dx, dy) + (corner(1, 0, dx - 1, dy) - corner(0, 0, dx, dy)) * u;
    const double bottom = corner(0, 1, dx, dy - 1) + (corner(1, 1, dx - 1, dy - 1) - corner(0, 1, dx, dy - 1)) * u;
    return (top + (bottom - top) * t) * 1.41421356;
  }

 private:
  uint8_t perm_[512];
};

// Sums `octaves` layers of value noise, each twice as fine and `persistence` as strong
// as the last, normalised to [0, 1). `cell` is the coarsest layer's cell in pixels.
class FractalNoise {
 public:
  FractalNoise(Lcg& random, int32_t width, int32_t height, double cell, int32_t octaves, double persistence);
  double at(double x, double y) const;

  // at(x, y) for the whole pixel row y (x = 0 .. width - 1) into `out`, the same words
  // as point by point. Each layer's two lattice rows about y are blended across once
  // and kept in `scratch` while the following rows lie between the same two; give
  // each thread a scratch of its own.
  struct Scratch {
    std::vector<double> top, dip;  // per layer, width entries: the upper row and lower minus upper
    std::vector<int32_t> lattice_row;
  };
  void row(int32_t y, double* out, Scratch& scratch) const;

 private:
  int32_t width_;
  std::vector<ValueNoise> layers_;
  std::vector<double> scale_, weight_;
  // Per layer, width entries: each pixel column's lattice columns and blend.
  std::vector<int32_t> col0_, col1_;
  std::vector<double> blend_x_;
};

}  // namespace cvl::imagescript
