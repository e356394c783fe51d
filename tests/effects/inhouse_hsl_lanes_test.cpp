// The row conversions of the bas relief in lanes against the one-pixel colour
// models: every RGB colour to HSL, and relief of generated HSL rows back to
// RGB for amounts either side of the usual range.
#include "effects/inhouse_hsl_lanes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/colour_models.h"
#include "imaging/lcg15.h"

namespace cvl::inhouse_hsl {
namespace {

TEST(InhouseHslLanes, EveryColourGivesTheHslOfTheColourModels) {
  // One row per (red, green): all 256 blues, alpha varied so it cannot leak in.
  std::vector<uint8_t> row(256 * 4);
  std::vector<double> h(256), s(256), l(256);
  for (int r = 0; r < 256; ++r)
    for (int g = 0; g < 256; ++g) {
      for (int b = 0; b < 256; ++b) {
        row[size_t(b) * 4] = uint8_t(r), row[size_t(b) * 4 + 1] = uint8_t(g), row[size_t(b) * 4 + 2] = uint8_t(b);
        row[size_t(b) * 4 + 3] = uint8_t(b * 31 + r);
      }
      rgb_row_to_hsl(row.data(), 256, h.data(), s.data(), l.data());
      for (int b = 0; b < 256; ++b) {
        double eh = -1, es = -1, el = -1;
        RgbToHsl(r, g, b, eh, es, el);
        ASSERT_TRUE(h[size_t(b)] == eh && s[size_t(b)] == es && l[size_t(b)] == el) << r << "," << g << "," << b;
      }
    }
}

double relieve(double v, double other, double amount) {
  if (v > other) v += (1.0 - v) * amount;
  else if (v < other) v -= amount * v;
  return std::clamp(v, 0.0, 1.0);
}

TEST(InhouseHslLanes, ReliefGivesTheBytesOfTheColourModels) {
  imaging::Lcg15 rng(11);
  const auto unit = [&rng] { return double(rng.next()) / 32767.0; };
  const int n = 4003;  // not a whole number of lanes
  std::vector<double> h(n), s(n), l(n), ns(n), nl(n);
  std::vector<uint8_t> alpha(size_t(n) * 4), out(size_t(n) * 4);
  for (int i = 0; i < n; ++i) {
    h[i] = unit() * 360.0, s[i] = unit(), l[i] = unit(), ns[i] = unit(), nl[i] = unit();
    // Equal neighbours, greys, hue at the sector edges, lightness at one half.
    if (i % 7 == 0) ns[i] = s[i];
    if (i % 11 == 0) nl[i] = l[i];
    if (i % 13 == 0) s[i] = 0;
    if (i % 17 == 0) h[i] = double((i / 17) % 7 * 60);
    if (i % 19 == 0) l[i] = 0.5;
    alpha[size_t(i) * 4 + 3] = uint8_t(i);
  }
  for (const double amount : {0.0, 0.3, 1.0, 1.7, -0.5, -3.0}) {
    relieve_row(h.data(), s.data(), l.data(), ns.data(), nl.data(), n, amount, alpha.data(), out.data());
    for (int i = 0; i < n; ++i) {
      uint8_t r = 0, g = 0, b = 0;
      HslToRgb(h[i], relieve(s[i], ns[i], amount), relieve(l[i], nl[i], amount), r, g, b);
      const uint8_t* q = &out[size_t(i) * 4];
      ASSERT_TRUE(q[0] == r && q[1] == g && q[2] == b && q[3] == uint8_t(i))
          << "pixel " << i << " amount " << amount << ": " << int(q[0]) << "," << int(q[1]) << "," << int(q[2])
          << " against " << int(r) << "," << int(g) << "," << int(b);
    }
  }
}

}  // namespace
}  // namespace cvl::inhouse_hsl
