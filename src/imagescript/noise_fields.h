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

  // at() in two steps, for callers that read a whole grid of points: where one
  // coordinate falls (the lattice lines either side and the faded fraction between
  // them), worked out once per column and once per row, then the blend. Gives the
  // same value as at() to the last bit.
  struct Place {
    int32_t lo = 0, hi = 0;
    double t = 0;
  };
  Place column_place(double gx) const { return place(gx, cols_); }
  Place row_place(double gy) const { return place(gy, rows_); }
  double at(const Place& column, const Place& row) const {
    const float* r0 = &lattice_[size_t(row.lo) * cols_];
    const float* r1 = &lattice_[size_t(row.hi) * cols_];
    const double top = r0[column.lo] + (r0[column.hi] - r0[column.lo]) * column.t;
    const double bottom = r1[column.lo] + (r1[column.hi] - r1[column.lo]) * column.t;
    return top + (bottom - top) * row.t;
  }

 private:
  static Place place(double g, int32_t n);

  int32_t cols_, rows_;
  std::vector<float> lattice_;
};

// Gradient noise in roughly [-1, 1], 0 on every lattice point; the permutation comes
// from the generator so each seed gives its own field.
class GradientNoise {
 public:
  explicit GradientNoise(Lcg& random);
  double at(double x, double y) const;

 private:
  uint8_t perm_[512];
};

// Sums `octaves` layers of value noise, each twice as fine and `persistence` as strong
// as the last, normalised to [0, 1). `cell` is the coarsest layer's cell in pixels.
class FractalNoise {
 public:
  FractalNoise(Lcg& random, int32_t width, int32_t height, double cell, int32_t octaves, double persistence);
  double at(double x, double y) const;

 private:
  std::vector<ValueNoise> layers_;
  std::vector<double> scale_, weight_;
};

}  // namespace cvl::imagescript
