#include "tips.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <random>
#include <vector>

#include "corvel/corvel.h"

namespace corvel_tool {

std::string write_bristle_script(const std::string& dir) {
  const std::string path = dir + "/bristle.isc";
  std::ofstream out(path);
  out << "imagescript 1\n# a flat brush: a column of bristles of uneven strength, with grain\nsize 48 48\n"
         "fill 0 0 0 255\n";
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> jitter(-2.5, 2.5), radius(1.2, 3.2), strength(110, 255);
  for (double y = 5; y <= 43; y += 2.6) {
    const int v = static_cast<int>(strength(rng));
    out << "circle " << 24 + jitter(rng) << ' ' << y << ' ' << radius(rng) << ' ' << v << ' ' << v << ' ' << v
        << " 255 1.5\n";
  }
  out << "noise 30 3\n";
  return out ? path : "";
}

std::string write_flower_png(const std::string& dir) {
  const int n = 64;
  std::vector<uint8_t> grey(n * n * 3);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double dx = x + 0.5 - n / 2.0, dy = y + 0.5 - n / 2.0;
      const double r = std::hypot(dx, dy) / (n / 2.0), a = std::atan2(dy, dx);
      // Five rounded petals, a darker ring where they meet the heart.
      const double petal = 0.55 + 0.42 * std::pow(std::fabs(std::cos(2.5 * a)), 0.7);
      double v = std::clamp((petal - r) * 9.0, 0.0, 1.0);
      v *= 0.75 + 0.25 * std::clamp(r * 2.2, 0.0, 1.0);
      uint8_t* p = &grey[(y * n + x) * 3];
      p[0] = p[1] = p[2] = static_cast<uint8_t>(std::lround(v * 255));
    }
  const std::string path = dir + "/flower.png";
  return CVL_WriteToFileRGB24(grey.data(), n, n, path.c_str(), ".png", 72) ? path : "";
}

}  // namespace corvel_tool
