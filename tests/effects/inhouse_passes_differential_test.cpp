// The banded, branch-free smoothing passes (and Hyper Contrast, the pop
// recipe's tone step) against the one-step-at-a-time
// reference: the same bytes for every slider pair on noise and on soft
// gradients (where the luminance tests go both ways), on lines and single
// pixels, at 1, 2 and 3 threads.
#include <gtest/gtest.h>

#include <vector>

#include "effects/inhouse_hsl_lanes.h"
#include "effects/inhouse_library.h"
#include "effects/inhouse_sweep_lanes.h"
#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl {
namespace {

using Pass = void (*)(InhouseParams&, const InhouseImages&);
struct PassPair {
  const char* name;
  Pass fast, reference;
};
const PassPair kPasses[] = {
    {"Value Blur", inhouse_value_blur, inhouse_value_blur_reference},
    {"Noise Reduction", inhouse_noise_reduction, inhouse_noise_reduction_reference},
    {"Noise Reduction RGB", inhouse_noise_reduction_rgb, inhouse_noise_reduction_rgb_reference},
    {"Hyper Contrast", inhouse_hyper_contrast, inhouse_hyper_contrast_reference},
    {"Anti Alias", inhouse_anti_alias, inhouse_anti_alias_reference},
};

// Noise (kind 0) or a soft gradient with a little grain (kind 1), RGBA.
std::vector<uint8_t> picture(int32_t w, int32_t h, int kind, uint32_t seed) {
  imaging::Lcg15 rng(seed);
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) {
        const int grain = rng.next() % 9;
        px[(size_t(y) * w + x) * 4 + c] =
            uint8_t(kind == 0 ? rng.next() & 255 : (x * 3 + y * (c + 1) * 2 + grain * (c == 3 ? 0 : 1)) & 255);
      }
  return px;
}

std::vector<uint8_t> run(Pass pass, const std::vector<uint8_t>& start, int32_t w, int32_t h, const double (&p)[6]) {
  std::vector<uint8_t> src = start, dst = start;
  InhouseParams params;
  for (int i = 0; i < 6; ++i) params.p[i] = p[i];
  params.width = w, params.height = h, params.right = w - 1, params.bottom = h - 1;
  pass(params, InhouseImages{src.data(), dst.data(), w, h, nullptr, nullptr});
  return dst;
}

TEST(InhousePassesDifferential, MatchesTheReferenceForEverySizeAndSlider) {
  struct Size {
    int32_t w, h;
  };
  const double sliders[][6] = {{0, 0, 0, 0, 0, 0},
                               {1, 1, 1, 1, 1, 1},
                               {0.5, 0.5, 0.5, 0.5, 0.5, 0.5},
                               {0.001, 0.999, 0.3, 0.02, 1, 0.6},
                               {1.5, -0.2, 2, 0.01, -1, 0.04},
                               {0.7, 0.123, 0.9, 0.5, 0.25, 0.75},
                               // Darker and lighter both with whole-number blends, unlike each other.
                               {0.75, 0.25, 0.5, 0.3, 0.5, 0.1},
                               {1.0, 0.5, 0.25, 0.02, 0.75, 0.01},
                               {2147483.647, -2147483.648, 0.2, 1.0, 0.004, 0.996}};
  // The sizes straddle the eight-pixel strips of the lane sweeps both ways.
  const Size sizes[] = {{1, 1},  {2, 3},  {3, 2},   {1, 7},   {7, 1},   {8, 8},    {9, 17},
                        {16, 2}, {2, 16}, {17, 15}, {24, 33}, {67, 45}, {403, 301}};
  const int64_t floor = imaging::band_work_floor();
  imaging::set_band_work_floor(64);  // small pictures split into bands too
  for (const bool portable : {false, true}) {
    inhouse_sweeps::use_portable_sweeps(portable);
    inhouse_hsl::use_portable_hsl(portable);
    for (const int threads : {1, 2, 3}) {
      imaging::set_thread_count(threads);
      for (const Size size : sizes)
        for (const int kind : {0, 1}) {
          const std::vector<uint8_t> start = picture(size.w, size.h, kind, uint32_t(size.w * 13 + size.h));
          for (const PassPair& pass : kPasses)
            for (const auto& p : sliders)
              ASSERT_EQ(run(pass.fast, start, size.w, size.h, p), run(pass.reference, start, size.w, size.h, p))
                  << pass.name << " " << size.w << "x" << size.h << " kind " << kind << " sliders " << p[0] << ","
                  << p[1] << " threads " << threads << (portable ? " table passes" : " lanes");
        }
    }
  }
  inhouse_sweeps::use_portable_sweeps(false);
  inhouse_hsl::use_portable_hsl(false);
  imaging::set_band_work_floor(floor);
  imaging::set_thread_count(0);
}

// Bas Relief rows in bands, each pixel's HSL worked out once, against the
// pixel-at-a-time reference: every direction (the option; 5 reads as the
// diagonal), depths from none to past full, pictures down to those with no
// interior pixel.
TEST(InhousePassesDifferential, BasReliefMatchesTheReferenceInEveryDirection) {
  struct Size {
    int32_t w, h;
  };
  const int64_t floor = imaging::band_work_floor();
  imaging::set_band_work_floor(1);
  for (const int threads : {1, 2, 3}) {
    imaging::set_thread_count(threads);
    inhouse_hsl::use_portable_hsl(threads == 3);  // the lanes at 1 and 2 threads, plain rows at 3
    for (const Size size :
         {Size{1, 1}, Size{2, 3}, Size{3, 3}, Size{37, 29}, Size{3, 40}, Size{64, 5}, Size{6, 7}, Size{11, 4}})
      for (const int kind : {0, 1}) {
        const std::vector<uint8_t> start = picture(size.w, size.h, kind, uint32_t(size.w * 7 + size.h));
        for (const int32_t option : {0, 1, 2, 5})
          for (const double depth : {0.0, 0.3, 1.0, 1.7, -0.5, 0.999, 2147483.647}) {
            std::vector<uint8_t> out[2];
            for (int k = 0; k < 2; ++k) {
              std::vector<uint8_t> src = start;
              out[k] = start;
              InhouseParams params;
              params.p[0] = depth;
              params.option = option;
              params.copy = 0;
              (k == 0 ? inhouse_bas_relief : inhouse_bas_relief_reference)(
                  params, InhouseImages{src.data(), out[k].data(), size.w, size.h, nullptr, nullptr});
            }
            ASSERT_EQ(out[0], out[1]) << size.w << "x" << size.h << " kind " << kind << " option " << option
                                      << " depth " << depth << " threads " << threads;
          }
      }
  }
  inhouse_hsl::use_portable_hsl(false);
  imaging::set_thread_count(0);
  imaging::set_band_work_floor(floor);
}

}  // namespace
}  // namespace cvl
