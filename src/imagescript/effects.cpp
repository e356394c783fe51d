// The numbered effects of the image-script library. Each entry of the table names its
// number and its runner; scripts and callers reach them all through run_effect.
#include <cmath>
#include <cstring>
#include <vector>

#include "imagescript/imagescript.h"
#include "imaging/rotate.h"

namespace cvl::imagescript {
namespace {

// Value `index` (3 upward) of an effect, or `fallback` when the caller gave fewer values.
int32_t value_at(const int32_t* values, int32_t count, int32_t index, int32_t fallback) {
  const int32_t i = index - 3;
  return values && i >= 0 && i < count ? values[i] : fallback;
}

bool run_rotate(const int32_t* values, int32_t count, uint8_t* rgba, int32_t width, int32_t height) {
  return rotate_in_place(rgba, width, height, value_at(values, count, 3, 0), value_at(values, count, 4, 100));
}

struct Effect {
  int32_t number;
  bool (*run)(const int32_t* values, int32_t count, uint8_t* rgba, int32_t width, int32_t height);
};

constexpr Effect kEffects[] = {
    {51, run_rotate},
};

// Cosine and sine of whole degrees, exact at the quarter turns so that they move
// pixels without blurring them.
void turn(int32_t degrees, double& c, double& s) {
  const int32_t d = ((degrees % 360) + 360) % 360;
  switch (d) {
    case 0: c = 1, s = 0; return;
    case 90: c = 0, s = 1; return;
    case 180: c = -1, s = 0; return;
    case 270: c = 0, s = -1; return;
    default: {
      const double r = d * (3.14159265358979323846 / 180.0);
      c = std::cos(r), s = std::sin(r);
    }
  }
}

}  // namespace

bool rotate_in_place(uint8_t* rgba, int32_t width, int32_t height, int32_t degrees, int32_t scale_percent) {
  if (!rgba || width <= 0 || height <= 0 || scale_percent <= 0) return false;
  if (degrees % 360 == 0 && scale_percent == 100) return true;
  const std::vector<uint8_t> src(rgba, rgba + size_t(width) * height * 4);
  double c = 1, s = 0;
  turn(degrees, c, s);
  const imaging::ImageView src_view{const_cast<uint8_t*>(src.data()), width, height, 4, width * 4};
  const imaging::ImageView dst_view{rgba, width, height, 4, width * 4};
  imaging::rotate_into(src_view, dst_view, c, s, 100.0 / scale_percent, imaging::RotateFilter::Bilinear);
  return true;
}

bool run_effect(int32_t effect, const int32_t* values, int32_t value_count, uint8_t* rgba, int32_t width,
                int32_t height) {
  if (!rgba || width <= 0 || height <= 0 || value_count < 0) return false;
  for (const Effect& e : kEffects)
    if (e.number == effect) return e.run(values, value_count, rgba, width, height);
  return false;
}

}  // namespace cvl::imagescript
