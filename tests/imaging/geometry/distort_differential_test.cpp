// Every distortion is held to its plain twin: the same bytes for settings from
// neutral to extreme, centres in the middle (where the faster forms share work
// between mirrored columns), off it and off the picture, on pictures from 1 x 1 up,
// at 1 and 3 threads.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "imaging/geometry/distort.h"
#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

const Colour kFill{17, 240, 5, 0};

// One distortion at one setting on a picture of w x h: the fast form when `plain`
// is false, the twin when true. The centre comes from the picture's size.
using Run = std::function<bool(const ImageView&, const ImageView&, Centre, bool plain)>;
struct Setting {
  std::string name;
  Run run;
};

#define BOTH(fn, ...)                                                                       \
  [=](const ImageView& s, const ImageView& d, Centre c, bool plain) {                       \
    (void)c;                                                                                \
    return plain ? fn##_reference(s, d, kFill, __VA_ARGS__) : fn(s, d, kFill, __VA_ARGS__); \
  }

std::vector<Setting> settings() {
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<Setting> all;
  for (float r : {0.0f, -3.0f, 0.7f, 9.0f, 30.0f, 1e6f}) {
    for (bool pinch : {false, true})
      all.push_back({"elliptical " + std::to_string(r) + (pinch ? " pinch" : ""),
                     BOTH(elliptical_image, c, r, r * 0.6f + 1, pinch)});
    all.push_back({"lens " + std::to_string(r), BOTH(lens_image, c, r)});
    for (float amount : {0.0f, 0.5f, -0.8f, 1.0f, -1.0f, 3.0f})
      all.push_back({"pinch " + std::to_string(r) + " " + std::to_string(amount), BOTH(pinch_image, c, amount, r)});
    for (float angle : {0.0f, 90.0f, -400.0f}) {
      all.push_back({"spin " + std::to_string(r) + " " + std::to_string(angle), BOTH(spin_image, c, angle, r)});
      all.push_back(
          {"spin wave " + std::to_string(r) + " " + std::to_string(angle), BOTH(spin_wave_image, c, angle, 4.5f, r)});
    }
  }
  for (float amp : {0.0f, 2.5f, -6.0f, 40.0f, 1e5f})
    for (float wave : {0.0f, 1.0f, 7.3f, 1000.0f}) {
      const std::string tag = std::to_string(amp) + " " + std::to_string(wave);
      for (bool angular : {false, true})
        all.push_back({"ripple " + tag + (angular ? " angular" : ""), BOTH(ripple_image, c, amp, wave, 35, angular)});
      for (WaveAxis axis : {WaveAxis::Vertical, WaveAxis::Horizontal, WaveAxis::Both})
        all.push_back({"wave " + tag, BOTH(wave_image, amp, wave, axis)});
      for (ZigZagStyle style : {ZigZagStyle::Rows, ZigZagStyle::Columns, ZigZagStyle::Rings})
        all.push_back({"zig zag " + tag, BOTH(zig_zag_image, c, amp, wave, style)});
    }
  for (float amount : {0.0f, 0.25f, -0.5f, 2.0f})
    for (int32_t petals : {1, 6, 64, 500})
      all.push_back(
          {"wow " + std::to_string(amount) + " " + std::to_string(petals), BOTH(wow_image, c, amount, petals)});
  all.push_back({"lens infinite", BOTH(lens_image, c, inf)});
  return all;
}

std::vector<uint8_t> noise(size_t n, uint32_t seed) {
  std::vector<uint8_t> v(n);
  Lcg15 rng(seed);
  for (uint8_t& b : v) b = uint8_t(rng.next());
  return v;
}

TEST(DistortDifferential, EveryDistortionMatchesItsPlainTwin) {
  const int32_t sizes[][2] = {{1, 1}, {2, 3}, {37, 23}, {64, 64}, {65, 40}};
  const std::vector<Setting> all = settings();
  for (const auto& size : sizes) {
    const int32_t w = size[0], h = size[1];
    std::vector<uint8_t> src = noise(size_t(w) * size_t(h) * 4, uint32_t(w * 7 + h));
    const ImageView in{src.data(), w, h, 4, w * 4};
    // The middle as the effects give it, a point off the middle, and one off the picture.
    const Centre centres[] = {{(w - 1) * 0.5f, (h - 1) * 0.5f}, {w * 0.3f + 0.25f, h * 0.6f}, {-7.5f, h + 3.0f}};
    for (const Centre& c : centres)
      for (const Setting& s : all) {
        std::vector<uint8_t> plain(src.size(), 0x33);
        ASSERT_TRUE(s.run(in, {plain.data(), w, h, 4, w * 4}, c, true)) << s.name;
        for (int threads : {1, 3}) {
          std::vector<uint8_t> fast(src.size(), 0x33);
          set_thread_count(threads);
          set_band_work_floor(1);
          const bool done = s.run(in, {fast.data(), w, h, 4, w * 4}, c, false);
          set_band_work_floor(65536);
          set_thread_count(0);
          ASSERT_TRUE(done) << s.name;
          ASSERT_EQ(fast, plain) << s.name << " on " << w << "x" << h << " centred at " << c.x << "," << c.y << " at "
                                 << threads << " threads";
        }
      }
  }
}

}  // namespace
}  // namespace cvl::imaging
