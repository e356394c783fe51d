// Effects that read the picture as a height map (its brightness) or look for its
// edges. Alpha is left as it was: these change how a surface looks, not its shape.
#include <cmath>
#include <vector>

#include "imagescript/effect_runners.h"
#include "imagescript/relief_support.h"
#include "imaging/parallel_bands.h"

namespace cvl::imagescript {
namespace {

// Sobel slopes of a byte plane at every pixel, edges repeated outward. The callback
// gets the pixel index and the two slopes (each within ±1020); it must touch only
// that pixel, since rows are shared among threads.
template <class Visit>
void for_each_slope(const uint8_t* plane, int32_t w, int32_t h, Visit visit) {
  imaging::for_each_band(h, int64_t(w) * 8, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) slopes_of_row(plane, w, h, y, visit);
  });
}

// A whole-number function of the two slopes, worked out once for every pair within
// ±kReach on large pictures: most slopes are gentle, so most pixels look theirs up
// instead of taking a square root and a division. Steeper slopes, and small
// pictures, call the function itself; the answers are the function's either way.
template <class Shade>
class SlopeTable {
 public:
  SlopeTable(Shade shade, size_t pixels) : shade_(shade) {
    if (pixels < kWorthATable) return;
    values_.resize(size_t(kSide) * kSide);
    for (int32_t gy = -kReach; gy <= kReach; ++gy)
      for (int32_t gx = -kReach; gx <= kReach; ++gx) values_[index(gx, gy)] = shade_(gx, gy);
  }
  int32_t operator()(int32_t gx, int32_t gy) const {
    const bool near = uint32_t(gx + kReach) < uint32_t(kSide) && uint32_t(gy + kReach) < uint32_t(kSide);
    return near && !values_.empty() ? values_[index(gx, gy)] : shade_(gx, gy);
  }

 private:
  static constexpr int32_t kReach = 127, kSide = 2 * kReach + 1;
  static constexpr size_t kWorthATable = size_t(kSide) * kSide * 4;
  static size_t index(int32_t gx, int32_t gy) { return size_t(gy + kReach) * kSide + size_t(gx + kReach); }
  Shade shade_;
  std::vector<int32_t> values_;
};

}  // namespace

// 19: value 3 the strength of the edges (0..255, 64 shows them as found), 4 the
// percentage below which faint edges are dropped, 5 the percentage of the original
// picture kept under them. Edges are found in each colour channel.
bool run_edge(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t gain = std::clamp(v(3, 64), 0, 1024), floor_level = std::clamp(v(4), 0, 100) * 255 / 100;
  const int32_t keep = std::clamp(v(5), 0, 100) * 256 / 100;
  std::vector<uint8_t> plane(size_t(w) * h);
  for (int c = 0; c < 3; ++c) {
    for (size_t i = 0; i < plane.size(); ++i) plane[i] = rgba[i * 4 + c];
    for_each_slope(plane.data(), w, h, [&](size_t i, int32_t gx, int32_t gy) {
      // |gx| + |gy| is at most 2040; a gain of 64 maps a full step edge to about 255.
      int32_t e = ((std::abs(gx) + std::abs(gy)) * gain) >> 9;
      e = e < floor_level ? 0 : std::min(e, 255);
      rgba[i * 4 + c] = static_cast<uint8_t>((e * (256 - keep) + plane[i] * keep + 128) >> 8);
    });
  }
  return true;
}

// Emboss and Bump (their values are described with their recipes): each pixel's
// shade looked up by its slopes.
template <class Recipe>
bool shade_by_slopes(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Recipe recipe(v);
  const auto grey = grey_plane(rgba, w, h);
  const SlopeTable shade_of([&](int32_t gx, int32_t gy) { return recipe.shade(gx, gy); }, grey.size());
  for_each_slope(grey.data(), w, h,
                 [&](size_t i, int32_t gx, int32_t gy) { recipe.paint(rgba + i * 4, shade_of(gx, gy)); });
  return true;
}

bool run_emboss(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return shade_by_slopes<EmbossRecipe>(v, rgba, w, h);
}

bool run_bump(const Values& v, uint8_t* rgba, int32_t w, int32_t h) { return shade_by_slopes<BumpRecipe>(v, rgba, w, h); }

}  // namespace cvl::imagescript
