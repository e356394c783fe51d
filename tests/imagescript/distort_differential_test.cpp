// The faster distortions (a sine per row and column instead of per pixel, the
// glass's lattice places worked out per column and row, rows in bands on worker
// threads) against their plain one-pixel-at-a-time twins: the same bytes for every
// picture, value set and thread count.
#include <gtest/gtest.h>

#include <vector>

#include "imagescript/effect_runners.h"
#include "imagescript/effects_reference.h"
#include "imaging/parallel_bands.h"

namespace cvl::imagescript {
namespace {

using Pixels = std::vector<uint8_t>;

// Gradients, a hash texture and hard shapes, with alpha from clear to opaque.
Pixels picture(int w, int h, uint32_t salt) {
  Pixels px(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &px[(size_t(y) * w + x) * 4];
      const uint32_t hash = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u) ^ salt;
      p[0] = uint8_t(x * 255 / std::max(w - 1, 1));
      p[1] = uint8_t((hash >> 7) & 255);
      p[2] = (x / 5 + y / 3) % 2 ? 240 : 15;
      p[3] = uint8_t(x < w / 6 ? 0 : (hash >> 13) & 255);
    }
  return px;
}

struct Case {
  const char* name;
  Runner fast, plain;
  std::vector<int32_t> values;  // from value index 3 on
};

const Case kCases[] = {
    {"sine, the host's middle sliders",
     run_sine_distort,
     run_sine_distort_reference,
     {1024, 1024, 16, 16, 1023, 1023, 0}},
    {"sine, small swing, wrapped", run_sine_distort, run_sine_distort_reference, {6, 4, 3, 2, 10, 5, 1}},
    {"sine, one direction, negative phase", run_sine_distort, run_sine_distort_reference, {0, 9, 0, 33, 0, -1, 0}},
    {"sine, extreme swing", run_sine_distort, run_sine_distort_reference, {2000000000, -7, 1, 1, 0, 0, 1}},
    {"glass, the host's middle sliders", run_glass, run_glass_reference, {0, 500, 12}},
    {"glass, fine ripples, seeded", run_glass, run_glass_reference, {12345, 3, 40}},
    {"glass, negative strength", run_glass, run_glass_reference, {-9, 123, -5}},
    {"glass, cell below a pixel", run_glass, run_glass_reference, {77, 0, 25}},
    {"kaleidoscope, the host's middle sliders", run_kaleidoscope, run_kaleidoscope_reference, {1024, 1024, 16, 0}},
    {"kaleidoscope, repeated wedges", run_kaleidoscope, run_kaleidoscope_reference, {7, 9, 20, 1}},
    {"kaleidoscope, centre outside", run_kaleidoscope, run_kaleidoscope_reference, {-40, 300, 3, 0}},
    {"kaleidoscope, most segments", run_kaleidoscope, run_kaleidoscope_reference, {5, 5, 9999, 0}},
    {"kaleidoscope, one segment", run_kaleidoscope, run_kaleidoscope_reference, {2, 1, 1, 1}},
    {"divider, the host's middle sliders", run_divider, run_divider_reference, {5, 5}},
    {"divider, more columns than a small picture has", run_divider, run_divider_reference, {7, 1}},
    {"divider, rows only, wild count", run_divider, run_divider_reference, {1, 2000000000}},
    {"zoom, the host's middle sliders", run_zoom, run_zoom_reference, {150, 0, 0, 0, 0}},
    {"zoom out, off centre, wrapped", run_zoom, run_zoom_reference, {37, -800, 950, 0, 1}},
    {"zoom in far, centre outside", run_zoom, run_zoom_reference, {4000, 3000, -2500, 0, 2}},
    {"zoom, a billionfold", run_zoom, run_zoom_reference, {1000000000, 7, 7, 0, 0}},
};

struct Size {
  int w, h;
};
// Tiny pictures, odd shapes, and one large enough to be split into bands.
constexpr Size kSizes[] = {{1, 1}, {2, 3}, {3, 2}, {17, 13}, {64, 5}, {300, 260}};

// The fast runner at 1, 2 and 3 threads against the plain twin, on one picture.
void expect_twins_agree(const Case& c, Size s, uint32_t salt) {
  const Values v{c.values.data(), int32_t(c.values.size())};
  Pixels want = picture(s.w, s.h, salt);
  ASSERT_TRUE(c.plain(v, want.data(), s.w, s.h));
  for (int threads : {1, 2, 3}) {
    imaging::set_thread_count(threads);
    Pixels got = picture(s.w, s.h, salt);
    ASSERT_TRUE(c.fast(v, got.data(), s.w, s.h));
    ASSERT_EQ(got, want) << c.name << " at " << s.w << " x " << s.h << ", " << threads << " threads";
  }
  imaging::set_thread_count(0);
}

TEST(DistortDifferential, FastRunnersGiveThePlainTwinsBytes) {
  for (const Case& c : kCases)
    for (const Size s : kSizes) expect_twins_agree(c, s, 5);
}

// The reliefs look most slopes up in a table on pictures of a quarter million pixels
// and more; the largest size here is one, with slopes from flat to the steepest.
TEST(DistortDifferential, ReliefsGiveThePlainTwinsBytes) {
  const Case reliefs[] = {
      {"emboss, the host's middle sliders", run_emboss, run_emboss_reference, {128, 135, 45, 0, 50}},
      {"emboss, deepest, light low and behind", run_emboss, run_emboss_reference, {4096, -400, 1, 0, 100}},
      {"emboss, flat", run_emboss, run_emboss_reference, {0, 10, 90, 0, 0}},
      {"bump, the host's middle sliders", run_bump, run_bump_reference, {128, 26, 0}},
      {"bump, tall, light from the side", run_bump, run_bump_reference, {4096, 1, -25}},
      {"bump, shallow, light above", run_bump, run_bump_reference, {3, 51, 25}},
  };
  for (const Case& c : reliefs)
    for (const Size s : {Size{1, 1}, Size{2, 3}, Size{17, 13}, Size{600, 500}}) expect_twins_agree(c, s, 9);
}

}  // namespace
}  // namespace cvl::imagescript
