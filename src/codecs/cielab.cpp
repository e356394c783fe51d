#include "codecs/cielab.h"

#include <algorithm>
#include <cmath>

namespace cvl::imaging {
namespace {

constexpr double kWhiteX = 0.9642, kWhiteZ = 0.8249;  // D50, Y = 1

// XYZ relative to D50 to linear sRGB: the Bradford adaptation to D65 followed by
// sRGB's own matrix, multiplied out, each row scaled so that the D50 white gives
// exactly 1 (the published figures miss it in the fourth place, enough to tint greys).
constexpr double kToLinearRgb[3][3] = {{3.1335760, -1.6167220, -0.4905709},
                                       {-0.9787592, 1.9161236, 0.0334538},
                                       {0.0719767, -0.2290915, 1.4058571}};

double inverse_f(double t) {
  constexpr double kEdge = 6.0 / 29.0;
  return t > kEdge ? t * t * t : 3 * kEdge * kEdge * (t - 4.0 / 29.0);
}

uint8_t encode(double linear) {
  linear = std::clamp(linear, 0.0, 1.0);
  const double v = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return uint8_t(std::lround(v * 255));
}

}  // namespace

void lab_to_srgb(uint8_t l, uint8_t a, uint8_t b, bool offset_ab, uint8_t rgb[3]) {
  const double lightness = l * 100.0 / 255.0;
  const double as = offset_ab ? a - 128.0 : double(int8_t(a));
  const double bs = offset_ab ? b - 128.0 : double(int8_t(b));
  const double fy = (lightness + 16) / 116;
  const double xyz[3] = {kWhiteX * inverse_f(fy + as / 500), inverse_f(fy), kWhiteZ * inverse_f(fy - bs / 200)};
  for (int c = 0; c < 3; ++c)
    rgb[c] = encode(kToLinearRgb[c][0] * xyz[0] + kToLinearRgb[c][1] * xyz[1] + kToLinearRgb[c][2] * xyz[2]);
}

}  // namespace cvl::imaging
