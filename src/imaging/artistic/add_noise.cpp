#include "imaging/artistic/add_noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/lcg15.h"

namespace cvl::imaging {
namespace {

constexpr int kDraws = 32768;  // one table entry for each value of the generator

// The standard normal quantile, by rational approximations on the centre and
// the tails (relative error below 1.2e-9).
double normal_quantile(double p) {
  static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                                 1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                                 6.680131188771972e+01,  -1.328068155288572e+01};
  static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                                 -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                                 3.754408661907416e+00};
  const double lower = 0.02425;
  if (p < lower || p > 1 - lower) {
    const double q = std::sqrt(-2 * std::log(p < lower ? p : 1 - p));
    const double x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
                     ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    return p < lower ? x : -x;
  }
  const double q = p - 0.5, r = q * q;
  return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
         (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
}

// Unit deviate of the distribution at probability p, already shifted to mean 0.
double deviate(NoiseDistribution distribution, double p) {
  switch (distribution) {
    case NoiseDistribution::Gaussian: return normal_quantile(p);
    case NoiseDistribution::NegativeExponential: return -std::log(1 - p) - 1;
    case NoiseDistribution::Rayleigh: return std::sqrt(-2 * std::log(1 - p)) - std::sqrt(3.14159265358979323846 / 2);
    case NoiseDistribution::Uniform: return 2 * p - 1;
  }
  return 0;
}

// The level offset for every value a draw can take: the distribution's
// quantiles at the middle of each of the 32768 equal steps, so one draw and one
// lookup give a sample and no logarithm is taken per pixel.
std::vector<int16_t> offset_table(NoiseDistribution distribution, double spread) {
  std::vector<int16_t> table(kDraws);
  for (int k = 0; k < kDraws; ++k) {
    const double v = spread * deviate(distribution, (k + 0.5) / kDraws);
    table[k] = static_cast<int16_t>(std::clamp(std::lround(v), -510L, 510L));
  }
  return table;
}

inline uint8_t add_clamped(uint8_t v, int32_t offset) { return static_cast<uint8_t>(std::clamp(v + offset, 0, 255)); }

}  // namespace

bool add_noise(const ImageView& image, NoiseDistribution distribution, double spread, bool monochrome,
               uint32_t channel_mask, uint32_t seed) {
  if (!same_shape(image, image) || !std::isfinite(spread)) return false;
  if (spread <= 0) return true;
  const std::vector<int16_t> table = offset_table(distribution, spread);
  const int16_t* offsets = table.data();
  Lcg15 random(seed);
  const int32_t ch = image.channels;
  bool selected[4] = {};
  for (int32_t c = 0; c < ch; ++c) selected[c] = channel_mask >> c & 1;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* p = image.row(y);
    for (int32_t x = 0; x < image.width; ++x, p += ch) {
      if (monochrome) {
        const int32_t offset = offsets[random.next()];
        for (int32_t c = 0; c < ch; ++c)
          if (selected[c]) p[c] = add_clamped(p[c], offset);
      } else {
        for (int32_t c = 0; c < ch; ++c)
          if (selected[c]) p[c] = add_clamped(p[c], offsets[random.next()]);
      }
    }
  }
  return true;
}

bool colour_noise(const ImageView& image, double amount, bool random_colours, const uint8_t colour[3],
                  uint32_t seed) {
  if (!same_shape(image, image) || image.channels < 3 || !std::isfinite(amount)) return false;
  const int32_t mix = static_cast<int32_t>(std::lround(std::clamp(amount, 0.0, 1.0) * 256));
  if (mix == 0) return true;
  Lcg15 random(seed);
  const int32_t ch = image.channels;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* p = image.row(y);
    for (int32_t x = 0; x < image.width; ++x, p += ch) {
      int32_t noise[3];
      if (random_colours) {
        for (int c = 0; c < 3; ++c) noise[c] = static_cast<int32_t>(random.next() >> 7);
      } else {
        const int32_t shade = static_cast<int32_t>(random.next() >> 7);
        for (int c = 0; c < 3; ++c) noise[c] = colour[c] * shade / 255;
      }
      for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(p[c] + (((noise[c] - p[c]) * mix) >> 8));
    }
  }
  return true;
}

}  // namespace cvl::imaging
