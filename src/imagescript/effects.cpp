// The numbered effects of the image-script library. Each entry of the table names its
// number and its runner; scripts and callers reach them all through run_effect.
#include <cmath>
#include <cstring>
#include <vector>

#include "imagescript/effect_runners.h"
#include "imagescript/imagescript.h"
#include "imaging/geometry/rotate.h"

namespace cvl::imagescript {
namespace {

bool run_rotate(const Values& v, uint8_t* rgba, int32_t width, int32_t height) {
  return rotate_in_place(rgba, width, height, v(3, 0), v(4, 100));
}

struct Effect {
  int32_t number;
  Runner run;
};

constexpr Effect kEffects[] = {
    {1, run_lines},          {2, run_circles},     {3, run_rectangles}, {4, run_splines},
    {5, run_plasma},         {6, run_twirl},       {11, run_perlin},    {13, run_sine_distort},
    {16, run_waves},         {17, run_divider},    {18, run_carpet},    {19, run_edge},
    {20, run_blobs},         {21, run_noise},      {22, run_voxel},     {23, run_emboss},
    {24, run_sine_plasma},   {25, run_maximum},    {26, run_minimum},   {27, run_bump},
    {28, run_colourize},      {37, run_worms},      {39, run_glass},     {42, run_pattern},
    {43, run_points},        {49, run_kaleidoscope}, {50, run_zoom},    {51, run_rotate},
    {52, run_seamless},      {54, run_tilt},       {55, run_fractal_plasma}, {56, run_scratch},
    {58, run_trees},         {59, run_fibers},
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

bool moves_channels_alike(int32_t effect) {
  // The coordinate warps and tilings (each a bilinear read or a copy at a place
  // computed from the position), the glass (the same, its noise drawn from the seed
  // alone), the seam blend and the scratches (fixed weights, channel by channel).
  constexpr int32_t kAlike[] = {6, 13, 16, 17, 18, 22, 39, 49, 50, 52, 54, 56};
  for (int32_t n : kAlike)
    if (n == effect) return true;
  return false;
}

bool run_effect(int32_t effect, const int32_t* values, int32_t value_count, uint8_t* rgba, int32_t width,
                int32_t height) {
  if (!rgba || width <= 0 || height <= 0 || value_count < 0) return false;
  // Sizes whose byte count would not fit the index types the runners use.
  if (int64_t(width) * height > (int64_t(1) << 28)) return false;
  const Values v{values, value_count};
  for (const Effect& e : kEffects)
    if (e.number == effect) return e.run(v, rgba, width, height);
  return false;
}

}  // namespace cvl::imagescript
