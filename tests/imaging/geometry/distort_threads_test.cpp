// The position-only distortions hand their rows to worker threads; every one must
// leave the same bytes at one, two and three threads (one thread is the plain row
// loop of inverse_map).
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "imaging/geometry/distort.h"
#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// Large enough to be split into bands.
constexpr int32_t kW = 311, kH = 257;
const Colour kFill{9, 8, 7, 0};
const Centre kMiddle{155, 128}, kOff{-20.5f, 300};

using Transform = std::function<bool(const ImageView&, const ImageView&)>;
struct Case {
  const char* name;
  Transform run;
};

const Case kCases[] = {
    {"elliptical dome", [](auto& s, auto& d) { return elliptical_image(s, d, kFill, kMiddle, 120, 90, false); }},
    {"elliptical pinch", [](auto& s, auto& d) { return elliptical_image(s, d, kFill, kOff, 400, 90, true); }},
    {"lens", [](auto& s, auto& d) { return lens_image(s, d, kFill, kMiddle, 100); }},
    {"marble", [](auto& s, auto& d) { return marble_image(s, d, kFill, 40, 9, 2); }},
    {"pinch in", [](auto& s, auto& d) { return pinch_image(s, d, kFill, kMiddle, 0.7f, 140); }},
    {"pinch out", [](auto& s, auto& d) { return pinch_image(s, d, kFill, kOff, -0.4f, 500); }},
    {"ripple", [](auto& s, auto& d) { return ripple_image(s, d, kFill, kMiddle, 6, 23, 40, false); }},
    {"ripple along rings", [](auto& s, auto& d) { return ripple_image(s, d, kFill, kOff, 6, 23, 40, true); }},
    {"spin", [](auto& s, auto& d) { return spin_image(s, d, kFill, kMiddle, 170, 150); }},
    {"spin wave", [](auto& s, auto& d) { return spin_wave_image(s, d, kFill, kMiddle, 60, 30, 200); }},
    {"wave both", [](auto& s, auto& d) { return wave_image(s, d, kFill, 7, 31, WaveAxis::Both); }},
    {"wave across", [](auto& s, auto& d) { return wave_image(s, d, kFill, 7, 31, WaveAxis::Horizontal); }},
    {"wow", [](auto& s, auto& d) { return wow_image(s, d, kFill, kMiddle, 0.3f, 7); }},
    {"zig zag rows", [](auto& s, auto& d) { return zig_zag_image(s, d, kFill, kMiddle, 5, 17, ZigZagStyle::Rows); }},
    {"zig zag rings", [](auto& s, auto& d) { return zig_zag_image(s, d, kFill, kOff, 5, 17, ZigZagStyle::Rings); }},
};

TEST(DistortThreads, EveryPositionOnlyDistortionGivesTheSameBytesAtAnyThreadCount) {
  std::vector<uint8_t> src(size_t(kW) * kH * 4);
  Lcg15 rng(11);
  for (uint8_t& v : src) v = uint8_t(rng.next());
  const ImageView in{src.data(), kW, kH, 4, kW * 4};
  for (const Case& c : kCases) {
    std::vector<std::vector<uint8_t>> results;
    for (int threads : {1, 2, 3}) {
      set_thread_count(threads);
      std::vector<uint8_t> out(src.size(), 0xAB);
      ASSERT_TRUE(c.run(in, ImageView{out.data(), kW, kH, 4, kW * 4})) << c.name;
      results.push_back(std::move(out));
    }
    set_thread_count(0);
    EXPECT_NE(results[0], src) << c.name << " should move pixels";
    EXPECT_EQ(results[1], results[0]) << c.name << " at 2 threads";
    EXPECT_EQ(results[2], results[0]) << c.name << " at 3 threads";
  }
}

// Marble works its noise out per column and row; the plain twin per pixel.
TEST(DistortThreads, MarbleGivesItsPlainTwinsBytes) {
  struct Args {
    float scale, amplitude, turbulence;
  };
  const Args kArgs[] = {{40, 9, 2}, {1, 3, 0.5f}, {0, -12, 4}, {517, 80, 1}, {7.3f, 0.4f, 0}};
  const std::pair<int32_t, int32_t> kSizes[] = {{1, 1}, {2, 3}, {37, 29}, {kW, kH}};
  for (const auto& [w, h] : kSizes) {
    std::vector<uint8_t> src(size_t(w) * h * 4);
    Lcg15 rng(uint32_t(w * 7 + h));
    for (uint8_t& v : src) v = uint8_t(rng.next());
    const ImageView in{src.data(), w, h, 4, w * 4};
    for (const Args& a : kArgs) {
      std::vector<uint8_t> want(src.size(), 0xAB);
      ASSERT_TRUE(marble_image_reference(in, ImageView{want.data(), w, h, 4, w * 4}, kFill, a.scale, a.amplitude,
                                         a.turbulence));
      for (int threads : {1, 2, 3}) {
        set_thread_count(threads);
        std::vector<uint8_t> got(src.size(), 0xAB);
        ASSERT_TRUE(marble_image(in, ImageView{got.data(), w, h, 4, w * 4}, kFill, a.scale, a.amplitude, a.turbulence));
        EXPECT_EQ(got, want) << w << " x " << h << " scale " << a.scale << ", " << threads << " threads";
      }
      set_thread_count(0);
    }
  }
}

}  // namespace
}  // namespace cvl::imaging
