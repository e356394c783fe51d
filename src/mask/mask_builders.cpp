#include "mask/mask_builders.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "core/colour_models.h"
#include "core/engine.h"
#include "mask/mask_state.h"

namespace cvl {

namespace {

// Walks the packed canvas-sized image and the mask together and writes `value`
// wherever match(pixel) holds.
template <int Bytes, class Match>
int32_t build(Engine& e, const uint8_t* image, uint16_t value, Match match) {
  if (!e.mask || !image) return 0;
  uint16_t* m = e.mask.get();
  const size_t n = e.canvas_pixels();
  int32_t matched = 0;
  // Select rather than branch: on photographs and noise the outcome is hard
  // to predict.
  for (size_t i = 0; i < n; ++i, image += Bytes) {
    const bool hit = match(image);
    m[i] = hit ? value : m[i];
    matched += hit;
  }
  return matched;
}

// Colour tests that convert every pixel remember the last colour seen: images
// have long runs of one colour and the conversions are not cheap.
template <class Test>
class RememberLastColour {
 public:
  explicit RememberLastColour(Test test) : test_(test) {}
  bool operator()(const uint8_t* p) {
    if (!valid_ || std::memcmp(p, last_, 3) != 0) {
      std::memcpy(last_, p, 3);
      result_ = test_(p[0], p[1], p[2]);
      valid_ = true;
    }
    return result_;
  }

 private:
  Test test_;
  uint8_t last_[3] = {};
  bool result_ = false;
  bool valid_ = false;
};

// The hue circle wraps: compare directly, then with the key a turn lower, then
// a turn higher, each difference truncated to whole degrees first.
bool hue_within(double h, double h0, double limit) {
  return std::abs(static_cast<int32_t>(h - h0)) <= limit || std::abs(static_cast<int32_t>(h - (h0 - 360.0))) <= limit ||
         std::abs(static_cast<int32_t>(h - 360.0 - h0)) <= limit;
}

}  // namespace

int32_t mask_from_rgba_colour(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2, int32_t strength) {
  return build<4>(e, rgba, mask_value_for_strength(strength),
                  [=](const uint8_t* p) { return (p[0] == c0) & (p[1] == c1) & (p[2] == c2); });
}

int32_t mask_from_rgb24_colour(Engine& e, const uint8_t* rgb, int32_t c0, int32_t c1, int32_t c2, int32_t strength) {
  return build<3>(e, rgb, mask_value_for_strength(strength),
                  [=](const uint8_t* p) { return (p[0] == c0) & (p[1] == c1) & (p[2] == c2); });
}

int32_t mask_from_rgba_colour_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2,
                                    int32_t tol_percent, int32_t strength) {
  const int32_t t = byte_tolerance(tol_percent);
  return build<4>(e, rgba, mask_value_for_strength(strength), [=](const uint8_t* p) {
    return (std::abs(p[0] - c0) <= t) & (std::abs(p[1] - c1) <= t) & (std::abs(p[2] - c2) <= t);
  });
}

int32_t mask_from_rgba_alpha_range(Engine& e, const uint8_t* rgba, int32_t alpha, int32_t tol_percent,
                                   int32_t strength) {
  const int32_t t = byte_tolerance(tol_percent);
  return build<4>(e, rgba, mask_value_for_strength(strength),
                  [=](const uint8_t* p) { return std::abs(p[3] - alpha) <= t; });
}

int32_t mask_from_rgba_luminance_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2,
                                       int32_t tol_percent, int32_t strength) {
  const int32_t t = byte_tolerance(tol_percent);
  const int32_t key = (c0 + c1 + c2) / 3;
  return build<4>(e, rgba, mask_value_for_strength(strength),
                  [=](const uint8_t* p) { return std::abs((p[0] + p[1] + p[2]) / 3 - key) <= t; });
}

int32_t mask_from_rgba_hue_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2,
                                 int32_t tol_percent, int32_t strength) {
  double h0 = 0, s = 0, v = 0;
  RgbToHsv(c0, c1, c2, h0, s, v);
  const int32_t limit = scaled_tolerance(tol_percent, 1.8);  // 100 % is 180 degrees
  auto test = [=](int r, int g, int b) {
    double h = 0, ps = 0, pv = 0;
    RgbToHsv(r, g, b, h, ps, pv);
    return hue_within(h, h0, limit);
  };
  return build<4>(e, rgba, mask_value_for_strength(strength), RememberLastColour<decltype(test)>(test));
}

int32_t mask_from_rgba_hsl_range(Engine& e, const uint8_t* rgba, int32_t c0, int32_t c1, int32_t c2, double hue_tol,
                                 double sat_tol, double light_tol, int32_t strength) {
  double h0 = 0, s0 = 0, l0 = 0;
  RgbToHsl(c0, c1, c2, h0, s0, l0);
  const double limit = hue_tol * 180.0;
  auto test = [=](int r, int g, int b) {
    double h = 0, s = 0, l = 0;
    RgbToHsl(r, g, b, h, s, l);
    return hue_within(h, h0, limit) && std::fabs(s - s0) <= sat_tol && std::fabs(l - l0) <= light_tol;
  };
  return build<4>(e, rgba, mask_value_for_strength(strength), RememberLastColour<decltype(test)>(test));
}

int32_t mask_from_flood_map(Engine& e, const uint8_t* flood, int32_t strength) {
  return build<1>(e, flood, mask_value_for_strength(strength), [](const uint8_t* p) { return *p == 1; });
}

int32_t mask_from_diff_rgba32(Engine& e, const uint8_t* a, const uint8_t* b, int32_t value) {
  if (!b) return 0;
  const uint8_t* other = b;
  return build<4>(e, a, static_cast<uint16_t>(value), [&other](const uint8_t* p) {
    const bool differs = std::memcmp(p, other, 4) != 0;
    other += 4;
    return differs;
  });
}

}  // namespace cvl
