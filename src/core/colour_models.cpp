#include "core/colour_models.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace cvl {

namespace {

// 1 / 255 as the engine has always written it; multiplying by this constant
// rounds differently from dividing by 255, and stored results depend on it.
constexpr double kByteToUnit = 0.00392156862745098;

struct Unit {
  double r, g, b;
};

Unit to_unit(int r, int g, int b) { return {r * kByteToUnit, g * kByteToUnit, b * kByteToUnit}; }

// One channel of the HSL to RGB conversion, for a hue already offset by the
// channel's 120-degree shift.
double hsl_channel(double h, double m1, double m2) {
  if (h > 360.0) {
    h -= 360.0;
  } else if (h < 0.0) {
    h += 360.0;
  }
  if (h < 60.0) return m1 + (m2 - m1) * h / 60.0;
  if (h < 180.0) return m2;
  if (h < 240.0) return m1 + (m2 - m1) * (240.0 - h) / 60.0;
  return m1;
}

double linearise(double c) { return 100.0 * (c > 0.04045 ? std::pow((c + 0.055) / 1.055, 2.4) : c / 12.92); }

// The gamma expansion of a byte, looked up: the power is most of a conversion's
// cost and a byte has 256 values, each stored exactly as the formula gives it.
double linearise_byte(int v) {
  static const auto table = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = linearise(i * kByteToUnit);
    return t;
  }();
  return v >= 0 && v <= 255 ? table[v] : linearise(v * kByteToUnit);
}

double compand(double v) { return v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v; }

double lab_f(double t) { return t > 0.008856 ? std::pow(t, 1.0 / 3.0) : 7.787 * t + 16.0 / 116.0; }

double lab_g(double f) {
  const double cube = f * f * f;
  return cube > 0.008856 ? cube : (f - 16.0 / 116.0) / 7.787;
}

double not_negative(double v) { return v < 0.0 ? 0.0 : v; }

}  // namespace

void RgbToHsv(int r8, int g8, int b8, double& h, double& s, double& v) {
  const auto [r, g, b] = to_unit(r8, g8, b8);
  const double max = std::max({r, g, b});
  const double min = std::min({r, g, b});
  const double d = max - min;
  v = max;
  if (d == 0.0) {
    h = kAchromaticHue;
    return;
  }
  s = d / max;
  if (r == max) {
    h = (g - b) / d;
  } else if (g == max) {
    h = (b - r) / d + 2.0;
  } else {
    h = (r - g) / d + 4.0;
  }
  h *= 60.0;
  if (h < 0.0) h += 360.0;
}

void HsvToRgb(double h, double s, double v, uint8_t& r, uint8_t& g, uint8_t& b) {
  if (s == 0.0) {
    r = g = b = unit_to_byte(v);
    return;
  }
  if (h == 360.0) h = 0.0;
  const double sector = h / 60.0;
  const double i = std::floor(sector);
  const double f = sector - i;
  const double p = v * (1.0 - s);
  const double q = v * (1.0 - s * f);
  const double t = v * (1.0 - s * (1.0 - f));
  // Hues outside 0..360 fold onto the circle instead of leaving the bytes
  // unset.
  int k = 0;
  if (std::isfinite(i)) k = static_cast<int>(std::fmod(i, 6.0));
  if (k < 0) k += 6;
  const double sectors[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
  r = unit_to_byte(sectors[k][0]);
  g = unit_to_byte(sectors[k][1]);
  b = unit_to_byte(sectors[k][2]);
}

void RgbToHsl(int r8, int g8, int b8, double& h, double& s, double& l) {
  const auto [r, g, b] = to_unit(r8, g8, b8);
  const double max = std::max({r, g, b});
  const double min = std::min({r, g, b});
  const double d = max - min;
  l = (max + min) / 2.0;
  if (d == 0.0) {
    h = 0.0;
    s = 0.0;
    return;
  }
  s = l < 0.5 ? d / (max + min) : d / (2.0 - max - min);
  const double dr = ((max - r) / 6.0 + d / 2.0) / d;
  const double dg = ((max - g) / 6.0 + d / 2.0) / d;
  const double db = ((max - b) / 6.0 + d / 2.0) / d;
  if (r == max) {
    h = db - dg;
  } else if (g == max) {
    h = 1.0 / 3.0 + dr - db;
  } else {
    h = 2.0 / 3.0 + dg - dr;
  }
  if (h < 0.0) h += 1.0;
  if (h > 1.0) h -= 1.0;
  h *= 360.0;
}

void HslToRgb(double h, double s, double l, uint8_t& r, uint8_t& g, uint8_t& b) {
  if (s == 0.0) {
    r = g = b = unit_to_byte(l);
    return;
  }
  const double m2 = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
  const double m1 = 2.0 * l - m2;
  r = unit_to_byte(hsl_channel(h + 120.0, m1, m2));
  g = unit_to_byte(hsl_channel(h, m1, m2));
  b = unit_to_byte(hsl_channel(h - 120.0, m1, m2));
}

void RgbToXyz(int r8, int g8, int b8, double& x, double& y, double& z) {
  const double r = linearise_byte(r8), g = linearise_byte(g8), b = linearise_byte(b8);
  x = not_negative(0.4124 * r + 0.3576 * g + 0.1805 * b);
  y = not_negative(0.2126 * r + 0.7152 * g + 0.0722 * b);
  z = not_negative(0.0193 * r + 0.1192 * g + 0.9505 * b);
}

void XyzToRgb(double x, double y, double z, uint8_t& r, uint8_t& g, uint8_t& b) {
  x /= 100.0;
  y /= 100.0;
  z /= 100.0;
  r = unit_to_byte(compand(3.2406 * x - 1.5372 * y - 0.4986 * z));
  g = unit_to_byte(compand(-0.9689 * x + 1.8758 * y + 0.0415 * z));
  b = unit_to_byte(compand(0.0557 * x - 0.2040 * y + 1.0570 * z));
}

void XyzToLab(double x, double y, double z, double& l, double& a, double& bb) {
  const double fx = lab_f(x / kWhiteX);
  const double fy = lab_f(y / kWhiteY);
  const double fz = lab_f(z / kWhiteZ);
  l = 116.0 * fy - 16.0;
  a = 500.0 * (fx - fy);
  bb = 200.0 * (fy - fz);
}

void LabToXyz(double l, double a, double bb, double& x, double& y, double& z) {
  const double fy = (l + 16.0) / 116.0;
  const double fx = fy + a / 500.0;
  const double fz = fy - bb / 200.0;
  x = not_negative(lab_g(fx) * kWhiteX);
  y = not_negative(lab_g(fy) * kWhiteY);
  z = not_negative(lab_g(fz) * kWhiteZ);
}

void LabToRgb(double l, double a, double bb, uint8_t& r, uint8_t& g, uint8_t& b) {
  double x = 0, y = 0, z = 0;
  LabToXyz(l, a, bb, x, y, z);
  XyzToRgb(x, y, z, r, g, b);
}

void CmyToCmyk(double& c, double& m, double& y, double& k) {
  k = std::min({1.0, c, m, y});
  if (k == 1.0) {
    c = m = y = 0.0;
    return;
  }
  c = (c - k) / (1.0 - k);
  m = (m - k) / (1.0 - k);
  y = (y - k) / (1.0 - k);
}

void CmykToRgb(double c, double m, double y, double k, uint8_t& r, uint8_t& g, uint8_t& b) {
  r = unit_to_byte(1.0 - (k + (1.0 - k) * c));
  g = unit_to_byte(1.0 - (k + (1.0 - k) * m));
  b = unit_to_byte(1.0 - (k + (1.0 - k) * y));
}

}  // namespace cvl
