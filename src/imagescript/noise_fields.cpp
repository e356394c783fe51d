#include "imagescript/noise_fields.h"

#include <cmath>

namespace cvl::imagescript {
namespace {

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

ValueNoise::ValueNoise(Lcg& random, int32_t cols, int32_t rows)
    : cols_(std::max(cols, 1)), rows_(std::max(rows, 1)), lattice_(size_t(cols_) * rows_) {
  for (float& f : lattice_) f = static_cast<float>(random.unit());
}

void ValueNoise::cell_x(double gx, int32_t& i0, int32_t& i1, double& t) const {
  const double fx = std::floor(gx);
  t = fade(gx - fx);
  i0 = wrap_index(static_cast<int32_t>(std::fmod(fx, cols_)), cols_), i1 = (i0 + 1) % cols_;
}

void ValueNoise::cell_y(double gy, int32_t& i0, int32_t& i1, double& t) const {
  const double fy = std::floor(gy);
  t = fade(gy - fy);
  i0 = wrap_index(static_cast<int32_t>(std::fmod(fy, rows_)), rows_), i1 = (i0 + 1) % rows_;
}

double ValueNoise::at(double gx, double gy) const {
  const double fx = std::floor(gx), fy = std::floor(gy);
  const double tx = fade(gx - fx), ty = fade(gy - fy);
  const int32_t x0 = wrap_index(static_cast<int32_t>(std::fmod(fx, cols_)), cols_), x1 = (x0 + 1) % cols_;
  const int32_t y0 = wrap_index(static_cast<int32_t>(std::fmod(fy, rows_)), rows_), y1 = (y0 + 1) % rows_;
  const float* r0 = &lattice_[size_t(y0) * cols_];
  const float* r1 = &lattice_[size_t(y1) * cols_];
  const double top = r0[x0] + (r0[x1] - r0[x0]) * tx, bottom = r1[x0] + (r1[x1] - r1[x0]) * tx;
  return top + (bottom - top) * ty;
}

GradientNoise::GradientNoise(Lcg& random) {
  for (int i = 0; i < 256; ++i) perm_[i] = static_cast<uint8_t>(i);
  for (int i = 255; i > 0; --i) std::swap(perm_[i], perm_[random.below(i + 1)]);
  for (int i = 0; i < 256; ++i) perm_[256 + i] = perm_[i];
}

GradientNoise::Axis GradientNoise::axis(double c) {
  const double f = std::floor(c);
  const double d = c - f;
  return {static_cast<int32_t>(static_cast<int64_t>(f) & 255), d, fade(d)};
}

FractalNoise::FractalNoise(Lcg& random, int32_t width, int32_t height, double cell, int32_t octaves, double persistence)
    : width_(std::max(width, 0)) {
  cell = std::max(cell, 1.0);
  double weight = 1, total = 0;
  for (int32_t o = 0; o < octaves; ++o) {
    // Lattices just large enough to cover the picture; finer layers stop at one pixel a cell.
    if (o > 0 && cell < 1) break;
    layers_.emplace_back(random, static_cast<int32_t>(width / cell) + 2, static_cast<int32_t>(height / cell) + 2);
    scale_.push_back(1.0 / cell);
    weight_.push_back(weight);
    total += weight;
    weight *= persistence;
    cell *= 0.5;
  }
  for (double& w : weight_) w /= total;
  const size_t n = size_t(width_) * layers_.size();
  col0_.resize(n), col1_.resize(n), blend_x_.resize(n);
  for (size_t i = 0; i < layers_.size(); ++i)
    for (int32_t x = 0; x < width_; ++x) {
      const size_t k = i * size_t(width_) + size_t(x);
      layers_[i].cell_x(x * scale_[i], col0_[k], col1_[k], blend_x_[k]);
    }
}

void FractalNoise::row(int32_t y, double* out, Scratch& scratch) const {
  const size_t w = size_t(width_), n = w * layers_.size();
  if (scratch.top.size() != n)
    scratch.top.assign(n, 0.0), scratch.dip.assign(n, 0.0), scratch.lattice_row.assign(layers_.size(), -1);
  for (size_t x = 0; x < w; ++x) out[x] = 0;
  for (size_t i = 0; i < layers_.size(); ++i) {
    int32_t y0, y1;
    double ty;
    layers_[i].cell_y(y * scale_[i], y0, y1, ty);
    double* top = &scratch.top[i * w];
    double* dip = &scratch.dip[i * w];
    if (scratch.lattice_row[i] != y0) {
      scratch.lattice_row[i] = y0;
      const float* r0 = layers_[i].lattice_row(y0);
      const float* r1 = layers_[i].lattice_row(y1);
      const int32_t* c0 = &col0_[i * w];
      const int32_t* c1 = &col1_[i * w];
      const double* tx = &blend_x_[i * w];
      for (size_t x = 0; x < w; ++x) {
        const double t = r0[c0[x]] + (r0[c1[x]] - r0[c0[x]]) * tx[x], b = r1[c0[x]] + (r1[c1[x]] - r1[c0[x]]) * tx[x];
        top[x] = t, dip[x] = b - t;
      }
    }
    const double weight = weight_[i];
    for (size_t x = 0; x < w; ++x) out[x] += weight * (top[x] + dip[x] * ty);
  }
}

double FractalNoise::at(double x, double y) const {
  double sum = 0;
  for (size_t i = 0; i < layers_.size(); ++i) sum += weight_[i] * layers_[i].at(x * scale_[i], y * scale_[i]);
  return sum;
}

}  // namespace cvl::imagescript
