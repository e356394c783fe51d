#include "draw/gradient_fill.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace cvl::imaging {
namespace {

// The parameter is looked up in a table rather than interpolated per pixel:
// 4096 steps are finer than any 8-bit ramp can show.
constexpr int32_t kRampSize = 4096;
constexpr float kRampLast = static_cast<float>(kRampSize - 1);

using Ramp = std::vector<uint32_t>;

uint32_t pack(const uint8_t c[4]) {
  uint32_t v;
  std::memcpy(&v, c, 4);
  return v;
}

// The colour at a position in percent: the end stops' colours beyond them,
// linear between neighbours, rounded to nearest.
uint32_t colour_at(double position, const GradientStop* stops, int32_t count) {
  if (position <= stops[0].position) return pack(stops[0].channels);
  for (int32_t k = 0; k + 1 < count; ++k) {
    const GradientStop& a = stops[k];
    const GradientStop& b = stops[k + 1];
    if (position > b.position) continue;
    if (b.position == a.position) return pack(b.channels);
    const double f = (position - a.position) / static_cast<double>(b.position - a.position);
    uint8_t c[4];
    for (int i = 0; i < 4; ++i)
      c[i] = static_cast<uint8_t>(std::lround(a.channels[i] + (b.channels[i] - a.channels[i]) * f));
    return pack(c);
  }
  return pack(stops[count - 1].channels);
}

Ramp make_ramp(const GradientStop* stops, int32_t count) {
  Ramp ramp(kRampSize);
  for (int32_t i = 0; i < kRampSize; ++i) ramp[static_cast<size_t>(i)] = colour_at(i * 100.0 / kRampLast, stops, count);
  return ramp;
}

inline uint32_t ramp_at(const Ramp& ramp, float t) {
  t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
  return ramp[static_cast<size_t>(t * kRampLast + 0.5f)];
}

bool usable(const ImageView& image, const GradientStop* stops, int32_t count) {
  return image.data && image.channels == 4 && image.width > 0 && image.height > 0 && stops && count > 0;
}

void store(uint8_t* row, int32_t x, uint32_t colour) { std::memcpy(row + static_cast<size_t>(x) * 4, &colour, 4); }

}  // namespace

bool fill_linear_gradient(const ImageView& image, double x0, double y0, double x1, double y1,
                          const GradientStop* stops, int32_t count) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double length2 = dx * dx + dy * dy;
  if (!usable(image, stops, count) || !(length2 > 0.0)) return false;
  const Ramp ramp = make_ramp(stops, count);
  // The parameter is linear in x along a row: one start value and one step per row.
  const double step = dx / length2;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* row = image.row(y);
    const double start = (-x0 * dx + (y - y0) * dy) / length2;
    for (int32_t x = 0; x < image.width; ++x) store(row, x, ramp_at(ramp, static_cast<float>(start + x * step)));
  }
  return true;
}

bool fill_radial_gradient(const ImageView& image, double radius, double cx, double cy, const GradientStop* stops,
                          int32_t count) {
  if (!usable(image, stops, count) || !(radius >= 1.0)) return false;
  const Ramp ramp = make_ramp(stops, count);
  const float inverse = static_cast<float>(1.0 / radius);
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* row = image.row(y);
    const float ry = static_cast<float>(y - cy);
    for (int32_t x = 0; x < image.width; ++x) {
      const float rx = static_cast<float>(x - cx);
      store(row, x, ramp_at(ramp, std::sqrt(rx * rx + ry * ry) * inverse));
    }
  }
  return true;
}

}  // namespace cvl::imaging
